#pragma once
// Reads a sound file through libsndfile into 16-bit mono samples for the mixer.
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace vantrel {

struct MonoWave {
    std::vector<int16_t> samples;
    int sample_rate = 0;  // Hz
};

// The samples, or the reason the file cannot be read. Stereo and wider files are mixed
// down to mono; a file longer than the mixer can hold is refused.
[[nodiscard]] std::variant<MonoWave, std::string> read_mono_wave(const std::filesystem::path& file);

}  // namespace vantrel
