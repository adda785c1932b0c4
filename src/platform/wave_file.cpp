#include "platform/wave_file.hpp"

#include <sndfile.h>

#include <memory>

namespace vantrel {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// About 25 minutes at 44.1 kHz: far beyond any cab sound, and a bound on what a
// file's header can make us allocate.
constexpr int64_t kMaxFrames = int64_t{1} << 26;
constexpr int kMaxChannels = 64;
constexpr int kMaxRate = 384000;

}  // namespace

std::variant<MonoWave, std::string> read_mono_wave(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::string("が、見つかりません");
    SF_INFO info{};
    SndfileHandle f(sf_open(file.c_str(), SFM_READ, &info));
    if (!f) return std::string(": ") + sf_strerror(nullptr);
    if (info.channels < 1 || info.channels > kMaxChannels) return std::string(": unsupported channel count");
    if (info.samplerate < 1 || info.samplerate > kMaxRate) return std::string(": unsupported sample rate");

    MonoWave wave;
    wave.sample_rate = info.samplerate;
    // Read in blocks rather than trusting the frame count of the header.
    constexpr sf_count_t kBlock = 4096;
    std::vector<int16_t> block(static_cast<size_t>(kBlock * info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_short(f.get(), block.data(), kBlock);
        if (got <= 0) break;
        if (static_cast<int64_t>(wave.samples.size()) + got > kMaxFrames) return std::string(": file too long");
        for (sf_count_t i = 0; i < got; ++i) {
            int32_t sum = 0;
            for (int c = 0; c < info.channels; ++c) sum += block[static_cast<size_t>(i * info.channels + c)];
            wave.samples.push_back(static_cast<int16_t>(sum / info.channels));
        }
        if (got < kBlock) break;
    }
    return wave;
}

}  // namespace vantrel
