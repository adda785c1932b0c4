#pragma once
// The route's video (and the opening movie) through FFmpeg, frame by number through the film's
// picture index: frame n is the n-th picture in presentation order (AVI: the n-th sample).
#include <cstdint>
#include <functional>
#include <memory>

#include "dynamics/frame_source.hpp"

namespace vantrel {

struct FilmIndex;

class FfmpegFrameReader final : public FrameSource {
public:
    FfmpegFrameReader();
    ~FfmpegFrameReader() override;
    bool open(const std::filesystem::path& file) override;
    // As open(), with the index's progress (0..100) while it is built. Large films decode on
    // `threads` of FFmpeg's threads (1: none; 0: one for each core the machine has beside the
    // window's, at most 4), started by the first decode() (on the thread that decodes).
    bool open(const std::filesystem::path& file, const std::function<void(int)>& progress, int threads);
    int32_t length() const override;
    bool frame(int32_t index, FrameImage& out) override;
    // Frames per second of the open video (0 without one).
    [[nodiscard]] double frame_rate() const;
    [[nodiscard]] int width() const;
    [[nodiscard]] int height() const;
    [[nodiscard]] const FilmIndex* index() const;

    // Decodes frame `index` into the current picture; false when it cannot be shown (out of range,
    // beyond the decodable end, damaged).
    bool decode(int32_t index);
    // Frame number of the current picture's first frame, -1 without one.
    [[nodiscard]] int32_t current() const;
    // Converts the current picture to RGB32 at width x height into `pixels` (`stride` bytes a row).
    bool convert(uint8_t* pixels, int stride, int width, int height);
    // The first frame of the keyframe group `index` is decoded from (decoding it onwards is cheap).
    [[nodiscard]] int32_t group_start(int32_t index) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
