#pragma once
// Test films written by the ffmpeg command from indexed frames piped in raw, in any container and
// codec it can write.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "indexed_video.hpp"
#include "platform/ffmpeg_frame_reader.hpp"

namespace vantrel::test {

// True when this ffmpeg has the encoder.
inline bool has_encoder(const std::string& name) {
    static const std::string list = [] {
        std::string text;
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen("ffmpeg -hide_banner -encoders 2>/dev/null", "r"), pclose);
        if (!pipe) return text;
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, got);
        return text;
    }();
    return list.find(" " + name + " ") != std::string::npos;
}

// Frame n as two flat halves whose grey levels spell n (up to 255): pictures this plain code to
// packets of one size, many of them to a packet of a program stream.
inline FrameImage flat_frame(int n) {
    FrameImage image{kVideoWidth, kVideoHeight, std::vector<uint32_t>(kVideoWidth * kVideoHeight)};
    const auto grey = [](int level) { return 0xFF000000u | static_cast<uint32_t>(level * 16 + 8) * 0x010101u; };
    for (int y = 0; y < kVideoHeight; ++y) {
        for (int x = 0; x < kVideoWidth; ++x) image.pixels[static_cast<size_t>(y * kVideoWidth + x)] = grey(x < kVideoWidth / 2 ? n % 16 : n / 16 % 16);
    }
    return image;
}

inline int shown_flat(const FrameImage& image) {
    if (image.width != kVideoWidth || image.height != kVideoHeight) return -1;
    const auto level = [&](int x) { return std::clamp(mean_channel(image, x, kVideoHeight / 2, 8) / 16, 0, 15); };
    return level(kVideoWidth / 4) + 16 * level(kVideoWidth * 3 / 4);
}

// Pipes `frames` numbered frames (30 a second) through `ffmpeg ... <output_args> file`; the
// output arguments may select or retime them. True when ffmpeg succeeded.
inline bool write_film(const std::filesystem::path& file, const std::string& output_args, int frames,
                       FrameImage (*frame)(int) = indexed_frame) {
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgra -s " +
                                std::to_string(kVideoWidth) + "x" + std::to_string(kVideoHeight) +
                                " -r 30 -i - " + output_args + " '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "w");
    if (pipe == nullptr) return false;
    bool written = true;
    for (int i = 0; i < frames && written; ++i) {
        const FrameImage image = frame(i);
        written = fwrite(image.pixels.data(), 4, image.pixels.size(), pipe) == image.pixels.size();
    }
    return pclose(pipe) == 0 && written;
}

// The number frame `n` shows through the reader, read at the test pattern's size; -1 for none.
inline int read_number(FfmpegFrameReader& reader, int n, int (*shown)(const FrameImage&) = shown_index) {
    if (!reader.decode(n)) return -1;
    FrameImage image{kVideoWidth, kVideoHeight, std::vector<uint32_t>(kVideoWidth * kVideoHeight)};
    if (!reader.convert(reinterpret_cast<uint8_t*>(image.pixels.data()), kVideoWidth * 4, kVideoWidth, kVideoHeight))
        return -1;
    return shown(image);
}

// The number of pictures ffprobe decodes from the film's first video stream; -1 when it fails.
inline int ffprobe_pictures(const std::filesystem::path& file) {
    const std::string command = "ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 '" +
                                file.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    int count = -1;
    if (!pipe || std::fscanf(pipe.get(), "%d", &count) != 1) return -1;
    return count;
}

// The numbers of the pictures ffmpeg itself shows, in order, one per picture.
inline std::vector<int> ffmpeg_numbers(const std::filesystem::path& file) {
    const std::string command = "ffmpeg -v error -i '" + file.string() + "' -fps_mode passthrough -f rawvideo -pix_fmt bgra -s " +
                                std::to_string(kVideoWidth) + "x" + std::to_string(kVideoHeight) + " -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<int> numbers;
    FrameImage image{kVideoWidth, kVideoHeight, std::vector<uint32_t>(kVideoWidth * kVideoHeight)};
    while (pipe && fread(image.pixels.data(), 4, image.pixels.size(), pipe.get()) == image.pixels.size())
        numbers.push_back(shown_index(image));
    return numbers;
}

// Runs a shell command quietly; true when it succeeded.
inline bool run_quietly(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

}  // namespace vantrel::test
