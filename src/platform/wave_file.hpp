#pragma once
// Reads a sound file through libsndfile into 16-bit mono samples for the mixer, and the
// length of one from its header alone for the channel model.
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "sound/wave_info.hpp"

namespace vantrel {

struct MonoWave {
    std::vector<int16_t> samples;
    int sample_rate = 0;  // Hz
};

// The frames and rate libsndfile's header reading gives, or the reason the file cannot be
// played: not a sound file, no rate, no channels, or longer than kWaveFrameLimit.
[[nodiscard]] std::variant<WaveLength, std::string> read_wave_length(const std::filesystem::path& file);

// The samples, or the reason the file cannot be read. Every format libsndfile reads is
// scaled to 16 bits (float and double clipped to full scale); wider files are mixed down
// to mono. A file is refused by its header before any sample is read.
[[nodiscard]] std::variant<MonoWave, std::string> read_mono_wave(const std::filesystem::path& file);

class SndfileWaveInfoReader final : public WaveInfoReader {
public:
    std::variant<WaveLength, std::string> read(const std::filesystem::path& file) override {
        return read_wave_length(file);
    }
};

}  // namespace vantrel
