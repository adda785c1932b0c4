#pragma once
// The route's video (and the opening movie) through FFmpeg: frame-accurate random access.
#include <memory>

#include "dynamics/frame_source.hpp"

namespace vantrel {

class FfmpegFrameReader final : public FrameSource {
public:
    FfmpegFrameReader();
    ~FfmpegFrameReader() override;
    bool open(const std::filesystem::path& file) override;
    int32_t length() const override;
    bool frame(int32_t index, FrameImage& out) override;
    // Frames per second of the open video (0 without one).
    [[nodiscard]] double frame_rate() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
