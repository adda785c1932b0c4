#include "demo_data/media_writers.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

#include "common/data_text.hpp"

namespace vantrel::demo {
namespace {

void put(std::string& b, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

bool save(const std::filesystem::path& file, const std::string& bytes) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

bool write_bitmap(const std::filesystem::path& file, int width, int height,
                  const std::function<Rgb(int, int)>& colour) {
    const auto row = static_cast<uint32_t>((24 * width + 31) / 32 * 4);
    const uint32_t data = row * static_cast<uint32_t>(height);
    std::string b(54 + data, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put(b, 2, 54 + data, 4);
    put(b, 10, 54, 4);
    put(b, 14, 40, 4);
    put(b, 18, static_cast<uint32_t>(width), 4);
    put(b, 22, static_cast<uint32_t>(height), 4);
    put(b, 26, 1, 2);
    put(b, 28, 24, 2);
    put(b, 34, data, 4);
    for (int y = 0; y < height; ++y) {
        const size_t base = 54 + static_cast<size_t>(height - 1 - y) * row;  // rows stored bottom-up
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            b[base + 3 * x] = static_cast<char>(c.b);
            b[base + 3 * x + 1] = static_cast<char>(c.g);
            b[base + 3 * x + 2] = static_cast<char>(c.r);
        }
    }
    return save(file, b);
}

bool write_wave(const std::filesystem::path& file, double seconds, const std::function<double(double)>& sample,
                uint32_t rate) {
    const auto count = static_cast<uint32_t>(seconds * rate);
    std::string b(44 + count, '\0');
    b.replace(0, 4, "RIFF");
    put(b, 4, 36 + count, 4);
    b.replace(8, 8, "WAVEfmt ");
    put(b, 16, 16, 4);
    put(b, 20, 1, 2);
    put(b, 22, 1, 2);
    put(b, 24, rate, 4);
    put(b, 28, rate, 4);
    put(b, 32, 1, 2);
    put(b, 34, 8, 2);
    b.replace(36, 4, "data");
    put(b, 40, count, 4);
    for (uint32_t i = 0; i < count; ++i) {
        const double v = std::clamp(sample(static_cast<double>(i) / rate), -1.0, 1.0);
        b[44 + i] = static_cast<char>(static_cast<uint8_t>(std::lround(128 + 127 * v)));
    }
    return save(file, b);
}

bool write_cp932_text(const std::filesystem::path& file, std::string_view text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const auto encoded = utf8_to_cp932(crlf);
    if (!encoded) return false;
    return save(file, *encoded);
}

}  // namespace vantrel::demo
