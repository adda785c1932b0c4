#pragma once
// Opens a film for demuxing: the container, its first video stream, every other stream discarded.
#include <filesystem>

#include "platform/ffmpeg_handles.hpp"

namespace vantrel {

struct FilmInput {
    ff::InputContext format;
    AVStream* stream = nullptr;  // owned by `format`
};

inline constexpr int kMaxFilmSide = 16384;

// nullopt-like empty input (no stream) when the file is no regular file or holds no usable video.
[[nodiscard]] FilmInput open_film_input(const std::filesystem::path& file);

// True for containers whose frames are numbered by sample (AVI), not by presentation time.
[[nodiscard]] bool numbers_samples(const AVFormatContext& format);

}  // namespace vantrel
