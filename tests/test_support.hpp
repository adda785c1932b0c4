#pragma once
// Helpers for tests: a temporary folder and real-looking data files (CP932, CRLF).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "common/data_text.hpp"

namespace vantrel::test {

// A fresh folder removed with the object.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                ("vantrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The whole of a file, byte for byte (empty when it cannot be read).
inline std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes UTF-8 text as CP932 with CRLF line ends ("\n" in `text` becomes "\r\n").
inline void write_cp932(const std::filesystem::path& file, std::string_view text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const auto encoded = utf8_to_cp932(crlf);
    ASSERT_TRUE(encoded.has_value()) << "text has no CP932 form";
    write_bytes(file, *encoded);
}

// A minimal Windows bitmap of the given size (24-bit, pixels all black).
inline void write_bmp(const std::filesystem::path& file, int width, int height) {
    const uint32_t row = static_cast<uint32_t>((24 * width + 31) / 32 * 4);
    const uint32_t data = row * static_cast<uint32_t>(height);
    std::string b(54 + data, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + data);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    put32(34, data);
    write_bytes(file, b);
}

// A PCM wave file of `milliseconds` of silence (8-bit mono, 22050 Hz unless given).
inline void write_wave(const std::filesystem::path& file, int milliseconds, uint32_t rate = 22050) {
    const uint32_t data = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string b(44 + data, static_cast<char>(0x80));
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b.replace(0, 4, "RIFF");
    put(4, 36 + data, 4);
    b.replace(8, 8, "WAVEfmt ");
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, 1, 2);
    put(24, rate, 4);
    put(28, rate, 4);
    put(32, 1, 2);
    put(34, 8, 2);
    b.replace(36, 4, "data");
    put(40, data, 4);
    write_bytes(file, b);
}

}  // namespace vantrel::test
