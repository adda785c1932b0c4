#pragma once
// Converts decoded pictures to RGB32 at any size in one swscale pass, with the colour range and
// matrix the film was coded in.
#include <cstdint>

#include "platform/ffmpeg_handles.hpp"

namespace vantrel {

class FilmConverter {
public:
    // Writes `frame` scaled to width x height into `pixels` (`stride` bytes a row); false on failure.
    bool convert(const AVFrame& frame, uint8_t* pixels, int stride, int width, int height);

private:
    ff::ScaleContext scale_;
    int source_width_ = 0, source_height_ = 0, source_format_ = -1, width_ = 0, height_ = 0;
    bool full_range_ = false;
    int matrix_ = 0;
};

}  // namespace vantrel
