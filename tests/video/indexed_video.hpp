#pragma once
// Test videos whose frames show their own index as twelve black or white blocks (big enough to
// survive lossy coding), above three colour patches that show the colour conversion.
#include <cstdint>
#include <filesystem>
#include <string>

#include "dynamics/frame_source.hpp"
#include "platform/video_writer.hpp"

namespace vantrel::test {

inline constexpr int kVideoWidth = 160;
inline constexpr int kVideoHeight = 96;
inline constexpr int kBlocksAcross = 6;
inline constexpr int kBlockWidth = 26;
inline constexpr int kBlockHeight = 32;
inline constexpr int kPatchTop = 2 * kBlockHeight;
// Patches below the blocks: dark grey, light grey (full-range samples read as limited range
// would come out near 19 and 242) and pure red (channel order).
inline constexpr uint32_t kPatchColours[3] = {0xFF202020u, 0xFFE0E0E0u, 0xFFFF0000u};
inline constexpr int kPatchWidth = 53;

inline FrameImage indexed_frame(int index) {
    FrameImage image{kVideoWidth, kVideoHeight, std::vector<uint32_t>(kVideoWidth * kVideoHeight, 0xFF000000u)};
    for (int y = 0; y < kVideoHeight; ++y) {
        for (int x = 0; x < kVideoWidth; ++x) {
            uint32_t& pixel = image.pixels[static_cast<size_t>(y * kVideoWidth + x)];
            if (y >= kPatchTop) {
                pixel = kPatchColours[std::min(x / kPatchWidth, 2)];
            } else if (x < kBlocksAcross * kBlockWidth) {
                const int bit = (y / kBlockHeight) * kBlocksAcross + x / kBlockWidth;
                if ((index >> bit) & 1) pixel = 0xFFFFFFFFu;
            }
        }
    }
    return image;
}

inline int channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// Mean of one channel over a square of 12 x 12 pixels around (cx, cy).
inline int mean_channel(const FrameImage& image, int cx, int cy, int shift) {
    int sum = 0;
    for (int y = cy - 6; y < cy + 6; ++y) {
        for (int x = cx - 6; x < cx + 6; ++x) sum += channel(image.pixels[static_cast<size_t>(y * image.width + x)], shift);
    }
    return sum / 144;
}

// The index a decoded frame shows, read from the green channel of the blocks' centres.
inline int shown_index(const FrameImage& image) {
    if (image.width != kVideoWidth || image.height != kVideoHeight) return -1;
    int index = 0;
    for (int bit = 0; bit < 12; ++bit) {
        const int cx = (bit % kBlocksAcross) * kBlockWidth + kBlockWidth / 2;
        const int cy = (bit / kBlocksAcross) * kBlockHeight + kBlockHeight / 2;
        if (mean_channel(image, cx, cy, 8) > 128) index |= 1 << bit;
    }
    return index;
}

// Writes `frames` indexed frames; an empty string on success, else the reason.
inline std::string write_indexed_video(const std::filesystem::path& file, VideoWriterOptions options, int frames) {
    options.width = kVideoWidth;
    options.height = kVideoHeight;
    std::string error;
    auto writer = VideoWriter::open(file, options, error);
    if (!writer) return error;
    std::vector<int16_t> sound;
    if (options.audio_rate > 0) sound.resize(static_cast<size_t>(options.audio_rate / options.frame_rate * options.audio_channels));
    for (int i = 0; i < frames; ++i) {
        if (!writer->add_frame(indexed_frame(i))) return "frame " + std::to_string(i) + " refused";
        for (size_t k = 0; k < sound.size(); ++k) sound[k] = static_cast<int16_t>((i * 97 + static_cast<int>(k) * 13) % 2000 - 1000);
        if (!sound.empty() && !writer->add_audio(sound)) return "sound refused";
    }
    return writer->finish() ? "" : "finish failed";
}

}  // namespace vantrel::test
