#include "sound/wave_header.hpp"

#include <cstring>
#include <fstream>

namespace vantrel {
namespace {

uint32_t le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

std::optional<WaveInfo> read_wave_header(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    const auto file_size = std::filesystem::file_size(file, ec);
    if (ec) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), 12)) return std::nullopt;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return std::nullopt;
    WaveInfo info;
    bool have_fmt = false;
    uint64_t pos = 12;
    for (int guard = 0; guard < 10000 && pos + 8 <= file_size; ++guard) {
        unsigned char chunk[8];
        in.seekg(static_cast<std::streamoff>(pos));
        if (!in.read(reinterpret_cast<char*>(chunk), 8)) return std::nullopt;
        const uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16) return std::nullopt;
            unsigned char f[16];
            if (!in.read(reinterpret_cast<char*>(f), 16)) return std::nullopt;
            info.channels = le16(f + 2);
            info.sample_rate = le32(f + 4);
            info.byte_rate = le32(f + 8);
            info.bits = le16(f + 14);
            have_fmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!have_fmt) return std::nullopt;
            // A truncated file plays what it holds.
            const uint64_t available = file_size - (pos + 8);
            info.data_bytes = static_cast<uint32_t>(size < available ? size : available);
            return info;
        }
        pos += 8 + static_cast<uint64_t>(size) + (size & 1);
    }
    return std::nullopt;
}

}  // namespace vantrel
