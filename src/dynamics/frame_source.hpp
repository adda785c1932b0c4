#pragma once
// The route's video as the logic sees it: its length and frames by index.
#include <cstdint>
#include <filesystem>
#include <vector>

namespace vantrel {

struct FrameImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual bool open(const std::filesystem::path& file) = 0;
    // Number of frames, or -1 without a video.
    [[nodiscard]] virtual int32_t length() const = 0;
    // Decodes a frame; indices outside 0 .. length-1 give the last decoded frame again.
    virtual bool frame(int32_t index, FrameImage& out) = 0;
};

// A video that cannot be opened, or one of a given length without pictures (headless runs).
class NullFrameSource final : public FrameSource {
public:
    explicit NullFrameSource(int32_t length = -1) : length_(length) {}
    bool open(const std::filesystem::path&) override { return length_ >= 0; }
    int32_t length() const override { return length_; }
    bool frame(int32_t, FrameImage&) override { return false; }

private:
    int32_t length_;
};

}  // namespace vantrel
