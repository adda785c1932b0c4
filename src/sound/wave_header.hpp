#pragma once
// The facts of a RIFF/WAVE file the logic needs without decoding it.
#include <cstdint>
#include <filesystem>
#include <optional>

namespace vantrel {

struct WaveInfo {
    uint32_t sample_rate = 0;
    uint32_t byte_rate = 0;   // bytes per second
    uint32_t data_bytes = 0;  // size of the data chunk
    uint16_t channels = 0;
    uint16_t bits = 0;
};

// nullopt when the file is missing or not a WAVE file with "fmt " and "data" chunks.
[[nodiscard]] std::optional<WaveInfo> read_wave_header(const std::filesystem::path& file);

}  // namespace vantrel
