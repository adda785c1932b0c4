#pragma once
// Writes an AVI file from RGB32 frames (and optionally 16-bit PCM sound) with FFmpeg's
// encoders: the tests' videos and the demo data's films and opening movie.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "dynamics/frame_source.hpp"

namespace vantrel {

struct VideoWriterOptions {
    enum class Codec { Mpeg4, Mjpeg };
    Codec codec = Codec::Mpeg4;
    int width = 480;
    int height = 240;
    int frame_rate = 30;     // frames per second
    int keyframe_every = 30; // group of pictures (ignored by all-intra codecs)
    int b_frames = 0;        // 0: none
    int quality = 4;         // codec quantiser scale, 1 best .. 31 worst
    int audio_rate = 0;      // 0: no sound track; otherwise 16-bit PCM at this rate
    int audio_channels = 1;
};

class VideoWriter {
public:
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Nullptr with `error` set when the file or the encoder cannot be opened.
    static std::unique_ptr<VideoWriter> open(const std::filesystem::path& file, const VideoWriterOptions& options,
                                             std::string& error);
    // One frame of the options' size.
    bool add_frame(const FrameImage& image);
    // Interleaved samples for the sound track. They may come with the frames or ahead of them
    // (a whole track at once); they are stored in step with the frames added.
    bool add_audio(std::span<const int16_t> samples);
    // Flushes the encoders and writes the index; also done by the destructor.
    bool finish();

private:
    struct Impl;
    explicit VideoWriter(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
