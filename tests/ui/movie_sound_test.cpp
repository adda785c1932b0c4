// The opening movie's sound track, taken out as a wave file for the mixer.
#include <cmath>
#include <vector>

#include "platform/movie_sound.hpp"
#include "platform/video_writer.hpp"
#include "sound/wave_header.hpp"
#include "test_support.hpp"

namespace vantrel::test {
namespace {

TEST(MovieSound, TrackComesOutAsMono16BitWaveOfTheSameLength) {
    TempDir dir;
    VideoWriterOptions options;
    options.width = 64;
    options.height = 48;
    options.frame_rate = 10;
    options.audio_rate = 8000;
    options.audio_channels = 2;
    std::string error;
    {
        auto writer = VideoWriter::open(dir / "movie.avi", options, error);
        ASSERT_TRUE(writer) << error;
        FrameImage frame{64, 48, std::vector<uint32_t>(64 * 48, 0xFF336699u)};
        std::vector<int16_t> samples(2 * 800);  // 0.1 s of stereo per frame
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<int16_t>(8000 * std::sin(static_cast<double>(i / 2) * 0.05));
        for (int f = 0; f < 10; ++f) {
            ASSERT_TRUE(writer->add_frame(frame));
            ASSERT_TRUE(writer->add_audio(samples));
        }
        ASSERT_TRUE(writer->finish());
    }
    ASSERT_TRUE(extract_movie_sound(dir / "movie.avi", dir / "sound.wav"));
    const auto info = read_wave_header(dir / "sound.wav");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->sample_rate, 8000u);
    EXPECT_EQ(info->data_bytes, 2u * 8000u);  // one second, two bytes a sample

    // A movie without a sound track gives no wave.
    options.audio_rate = 0;
    {
        auto writer = VideoWriter::open(dir / "silent.avi", options, error);
        ASSERT_TRUE(writer) << error;
        ASSERT_TRUE(writer->add_frame(FrameImage{64, 48, std::vector<uint32_t>(64 * 48, 0)}));
        ASSERT_TRUE(writer->finish());
    }
    EXPECT_FALSE(extract_movie_sound(dir / "silent.avi", dir / "none.wav"));
    EXPECT_FALSE(extract_movie_sound(dir / "missing.avi", dir / "none.wav"));
}

}  // namespace
}  // namespace vantrel::test
