#include "platform/wave_file.hpp"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vantrel {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

constexpr int kMaxChannels = 64;
constexpr int kMaxRate = 384000;

struct OpenWave {
    SndfileHandle file;
    SF_INFO info{};
};

// The open file with a header the mixer can play, or the reason it cannot.
std::variant<OpenWave, std::string> open_wave(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::string("が、見つかりません");
    OpenWave w;
    w.file.reset(sf_open(path.c_str(), SFM_READ, &w.info));
    if (!w.file) return std::string(": ") + sf_strerror(nullptr);
    if (w.info.channels < 1 || w.info.channels > kMaxChannels) return std::string(": unsupported channel count");
    if (w.info.samplerate < 1 || w.info.samplerate > kMaxRate) return std::string(": unsupported sample rate");
    if (w.info.frames < 0) return std::string(": unknown length");
    if (w.info.frames > kWaveFrameLimit) return std::string(": file too long");
    return w;
}

}  // namespace

std::variant<WaveLength, std::string> read_wave_length(const std::filesystem::path& file) {
    auto opened = open_wave(file);
    if (auto* reason = std::get_if<std::string>(&opened)) return std::move(*reason);
    const SF_INFO& info = std::get<OpenWave>(opened).info;
    return WaveLength{info.frames, info.samplerate};
}

std::variant<MonoWave, std::string> read_mono_wave(const std::filesystem::path& file) {
    auto opened = open_wave(file);
    if (auto* reason = std::get_if<std::string>(&opened)) return std::move(*reason);
    OpenWave& w = std::get<OpenWave>(opened);
    const int channels = w.info.channels;

    MonoWave wave;
    wave.sample_rate = w.info.samplerate;
    wave.samples.reserve(static_cast<size_t>(w.info.frames));
    // Samples as floats of full scale 1.0, whatever the file holds: 16-bit samples come
    // back exactly, wider ones are rounded, float files beyond full scale are clipped.
    constexpr sf_count_t kBlock = 4096;
    std::vector<float> block(static_cast<size_t>(kBlock * channels));
    sf_count_t left = w.info.frames;
    while (left > 0) {
        const sf_count_t got = sf_readf_float(w.file.get(), block.data(), std::min(kBlock, left));
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            double sum = 0;
            for (int c = 0; c < channels; ++c) sum += block[static_cast<size_t>(i * channels + c)];
            double v = sum / channels * 32768.0;
            if (!(v == v)) v = 0;  // NaN in a float file
            wave.samples.push_back(static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0)));
        }
        left -= got;
    }
    return wave;
}

}  // namespace vantrel
