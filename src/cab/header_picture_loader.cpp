#include "cab/header_picture_loader.hpp"

#include <array>
#include <cstdint>
#include <fstream>

namespace vantrel {
namespace {

uint32_t le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t be32(const unsigned char* p) { return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
uint16_t be16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

std::optional<PictureSize> bmp_size(std::ifstream& in) {
    std::array<unsigned char, 26> h{};
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(h.data()), h.size())) return std::nullopt;
    const uint32_t header_size = le32(&h[14]);
    // 64 bits: a top-down bitmap stores its height negated, and -2^31 has no 32-bit magnitude.
    int64_t width = 0, height = 0;
    if (header_size == 12) {  // OS/2 core header
        width = le16(&h[18]);
        height = le16(&h[20]);
    } else if (header_size >= 40) {
        width = static_cast<int32_t>(le32(&h[18]));
        height = static_cast<int32_t>(le32(&h[22]));
        if (height < 0) height = -height;  // top-down rows
    } else {
        return std::nullopt;
    }
    if (width <= 0 || height <= 0 || height > INT32_MAX) return std::nullopt;
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PictureSize> png_size(std::ifstream& in) {
    std::array<unsigned char, 24> h{};
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(h.data()), h.size())) return std::nullopt;
    if (h[12] != 'I' || h[13] != 'H' || h[14] != 'D' || h[15] != 'R') return std::nullopt;
    const auto w = static_cast<int>(be32(&h[16])), hgt = static_cast<int>(be32(&h[20]));
    if (w <= 0 || hgt <= 0) return std::nullopt;
    return PictureSize{w, hgt};
}

// Walks the JPEG markers to the first start-of-frame.
std::optional<PictureSize> jpeg_size(std::ifstream& in) {
    in.seekg(2);
    for (int guard = 0; guard < 1000; ++guard) {
        unsigned char m[4];
        if (!in.read(reinterpret_cast<char*>(m), 2)) return std::nullopt;
        if (m[0] != 0xFF) return std::nullopt;
        const unsigned char marker = m[1];
        if (marker == 0xFF) {  // fill byte
            in.seekg(-1, std::ios::cur);
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
        if (!in.read(reinterpret_cast<char*>(m + 2), 2)) return std::nullopt;
        const uint16_t length = be16(m + 2);
        if (length < 2) return std::nullopt;
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            unsigned char f[5];
            if (!in.read(reinterpret_cast<char*>(f), 5)) return std::nullopt;
            const int h = be16(f + 1), w = be16(f + 3);
            if (w <= 0 || h <= 0) return std::nullopt;
            return PictureSize{w, h};
        }
        in.seekg(length - 2, std::ios::cur);
    }
    return std::nullopt;
}

std::optional<PictureSize> ico_size(std::ifstream& in) {
    std::array<unsigned char, 8> h{};
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(h.data()), h.size())) return std::nullopt;
    if (le16(&h[4]) == 0) return std::nullopt;
    return PictureSize{h[6] == 0 ? 256 : h[6], h[7] == 0 ? 256 : h[7]};
}

}  // namespace

std::optional<PictureSize> HeaderPictureLoader::open(const std::filesystem::path& file, PictureFormat format) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    unsigned char magic[4] = {};
    if (!in.read(reinterpret_cast<char*>(magic), 4)) return std::nullopt;
    if (magic[0] == 'B' && magic[1] == 'M') return bmp_size(in);
    if (format == PictureFormat::Bitmap) return std::nullopt;
    if (magic[0] == 0x89 && magic[1] == 'P' && magic[2] == 'N' && magic[3] == 'G') return png_size(in);
    if (magic[0] == 0xFF && magic[1] == 0xD8) return jpeg_size(in);
    if (magic[0] == 0 && magic[1] == 0 && magic[2] == 1 && magic[3] == 0) return ico_size(in);
    return std::nullopt;
}

}  // namespace vantrel
