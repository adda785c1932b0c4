#pragma once
// Test films written by the ffmpeg command from indexed frames piped in raw, in any container and
// codec it can write.
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

// Pipes `frames` indexed frames (30 a second) through `ffmpeg ... <output_args> file`; the
// output arguments may select or retime them. True when ffmpeg succeeded.
inline bool write_film(const std::filesystem::path& file, const std::string& output_args, int frames) {
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgra -s " +
                                std::to_string(kVideoWidth) + "x" + std::to_string(kVideoHeight) +
                                " -r 30 -i - " + output_args + " '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "w");
    if (pipe == nullptr) return false;
    bool written = true;
    for (int i = 0; i < frames && written; ++i) {
        const FrameImage image = indexed_frame(i);
        written = fwrite(image.pixels.data(), 4, image.pixels.size(), pipe) == image.pixels.size();
    }
    return pclose(pipe) == 0 && written;
}

// The number frame `n` shows through the reader, read at the test pattern's size; -1 for none.
inline int read_number(FfmpegFrameReader& reader, int n) {
    if (!reader.decode(n)) return -1;
    FrameImage image{kVideoWidth, kVideoHeight, std::vector<uint32_t>(kVideoWidth * kVideoHeight)};
    if (!reader.convert(reinterpret_cast<uint8_t*>(image.pixels.data()), kVideoWidth * 4, kVideoWidth, kVideoHeight))
        return -1;
    return shown_index(image);
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
