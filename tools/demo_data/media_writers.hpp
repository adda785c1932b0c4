#pragma once
// Small writers for the demo data: 24-bit bitmaps drawn from a colour function and
// 8-bit mono PCM waves from a sample function.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace vantrel::demo {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// colour(x, y) with y counted from the top.
bool write_bitmap(const std::filesystem::path& file, int width, int height,
                  const std::function<Rgb(int, int)>& colour);

// sample(t) in -1 .. 1 for t seconds.
bool write_wave(const std::filesystem::path& file, double seconds, const std::function<double(double)>& sample,
                uint32_t rate = 22050);

// Writes UTF-8 text as CP932 with CRLF line ends.
bool write_cp932_text(const std::filesystem::path& file, std::string_view text);

}  // namespace vantrel::demo
