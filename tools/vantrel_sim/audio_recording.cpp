#include "vantrel_sim/audio_recording.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace vantrel::sim {
namespace {

constexpr int kChannels = 2;
constexpr int kFrameBytes = kChannels * 2;
constexpr int kHeaderBytes = 44;
// A RIFF size is 32 bits: the recording ends there (about 6.7 hours).
constexpr int64_t kMaxFrames = (0xFFFFFFFFLL - kHeaderBytes) / kFrameBytes;

void put32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i) & 0xFF);
}
void put16(char* p, uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

std::array<char, kHeaderBytes> wav_header(int64_t frames) {
    const auto data = static_cast<uint32_t>(frames * kFrameBytes);
    std::array<char, kHeaderBytes> h{};
    char* p = h.data();
    std::copy_n("RIFF", 4, p);
    put32(p + 4, 36 + data);
    std::copy_n("WAVEfmt ", 8, p + 8);
    put32(p + 16, 16);
    put16(p + 20, 1);  // PCM
    put16(p + 22, kChannels);
    put32(p + 24, AudioRecording::kRate);
    put32(p + 28, AudioRecording::kRate * kFrameBytes);
    put16(p + 32, kFrameBytes);
    put16(p + 34, 16);
    std::copy_n("data", 4, p + 36);
    put32(p + 40, data);
    return h;
}

}  // namespace

std::unique_ptr<AudioRecording> AudioRecording::open(const std::string& file, std::ostream& err) {
    auto mixer = OpenAlMixer::open_loopback(kRate);
    if (!mixer->initialised() || mixer->rate() != kRate) {
        err << "vantrel-sim: no loopback sound device for --audio\n";
        return nullptr;
    }
    std::ofstream out(file, std::ios::binary);
    const auto header = wav_header(0);
    if (!out || !out.write(header.data(), header.size())) {
        err << "vantrel-sim: cannot write " << file << "\n";
        return nullptr;
    }
    return std::make_unique<AudioRecording>(std::move(mixer), std::move(out));
}

AudioRecording::AudioRecording(std::unique_ptr<OpenAlMixer> mixer, std::ofstream out)
    : mixer_(std::move(mixer)), out_(std::move(out)) {}

void AudioRecording::advance_to(int64_t ms) {
    const int64_t target = std::min(ms * kRate / 1000, kMaxFrames);
    std::vector<int16_t> block;
    while (frames_ < target) {
        const int64_t n = std::min<int64_t>(target - frames_, 4096);
        block.resize(static_cast<size_t>(n * kChannels));
        mixer_->render(block);
        static_assert(std::endian::native == std::endian::little, "WAV samples are little-endian");
        out_.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n * kFrameBytes));
        frames_ += n;
    }
}

bool AudioRecording::finish(std::ostream& err) {
    const auto header = wav_header(frames_);
    out_.seekp(0);
    out_.write(header.data(), header.size());
    out_.flush();
    if (!out_) {
        err << "vantrel-sim: writing the audio file failed\n";
        return false;
    }
    return true;
}

}  // namespace vantrel::sim
