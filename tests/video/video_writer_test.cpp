// The video writer: files FFmpeg reads back, the same bytes for the same input, sound interleaved.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "indexed_video.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;

using vantrel::test::slurp;

TEST(VideoWriter, WritesTheSameBytesForTheSameInput) {
    test::TempDir dir;
    VideoWriterOptions o;
    o.b_frames = 2;
    o.audio_rate = 8000;
    o.audio_channels = 2;
    ASSERT_EQ(test::write_indexed_video(dir / "a.avi", o, 40), "");
    ASSERT_EQ(test::write_indexed_video(dir / "b.avi", o, 40), "");
    const std::string a = slurp(dir / "a.avi");
    EXPECT_GT(a.size(), 1000u);
    EXPECT_TRUE(a == slurp(dir / "b.avi"));
}

// Sound given frame by frame, or as one whole track before the pictures, comes out interleaved.
TEST(VideoWriter, InterleavesTheSoundTrackWithThePictures) {
    test::TempDir dir;
    VideoWriterOptions o;
    o.audio_rate = 22050;
    o.width = test::kVideoWidth;
    o.height = test::kVideoHeight;
    ASSERT_EQ(test::write_indexed_video(dir / "per_frame.avi", o, 60), "");
    {
        std::string error;
        auto writer = VideoWriter::open(dir / "whole.avi", o, error);
        ASSERT_NE(writer, nullptr) << error;
        ASSERT_TRUE(writer->add_audio(std::vector<int16_t>(60 * 735, 100)));
        for (int i = 0; i < 60; ++i) ASSERT_TRUE(writer->add_frame(test::indexed_frame(i)));
        ASSERT_TRUE(writer->finish());
    }
    for (const char* name : {"per_frame.avi", "whole.avi"}) {
        SCOPED_TRACE(name);
        AVFormatContext* raw = nullptr;
        ASSERT_GE(avformat_open_input(&raw, (dir / name).c_str(), nullptr, nullptr), 0);
        ff::InputContext input(raw);
        ASSERT_GE(avformat_find_stream_info(input.get(), nullptr), 0);
        ASSERT_EQ(input->nb_streams, 2u);
        EXPECT_EQ(input->streams[0]->codecpar->codec_id, AV_CODEC_ID_MPEG4);
        EXPECT_EQ(input->streams[1]->codecpar->codec_id, AV_CODEC_ID_PCM_S16LE);
        EXPECT_EQ(input->streams[1]->codecpar->sample_rate, 22050);

        ff::Packet packet = ff::make_packet();
        int frames = 0, run = 0, longest_run = 0, last_stream = -1;
        int64_t sound_bytes = 0;
        while (av_read_frame(input.get(), packet.get()) >= 0) {
            if (packet->stream_index == 0) ++frames;
            if (packet->stream_index == 1) sound_bytes += packet->size;
            run = packet->stream_index == last_stream ? run + 1 : 1;
            longest_run = std::max(longest_run, run);
            last_stream = packet->stream_index;
            av_packet_unref(packet.get());
        }
        EXPECT_EQ(frames, 60);
        EXPECT_EQ(sound_bytes, 60 * 735 * 2);  // 22050 / 30 samples a frame, 16 bits
        EXPECT_LE(longest_run, 2) << "sound and pictures alternate";
    }
}

TEST(VideoWriter, RefusesWhatItCannotWrite) {
    test::TempDir dir;
    std::string error;
    VideoWriterOptions odd;
    odd.width = 161;
    EXPECT_EQ(VideoWriter::open(dir / "x.avi", odd, error), nullptr);
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_EQ(VideoWriter::open(dir / "no" / "such" / "x.avi", VideoWriterOptions{}, error), nullptr);
    EXPECT_FALSE(error.empty());

    VideoWriterOptions o;
    o.width = 32;
    o.height = 16;
    auto writer = VideoWriter::open(dir / "x.avi", o, error);
    ASSERT_NE(writer, nullptr) << error;
    EXPECT_FALSE(writer->add_frame(FrameImage{32, 16, std::vector<uint32_t>(10)})) << "too few pixels";
    EXPECT_FALSE(writer->add_frame(FrameImage{16, 32, std::vector<uint32_t>(512)})) << "wrong size";
    EXPECT_FALSE(writer->add_audio(std::vector<int16_t>(100))) << "no sound track";
    EXPECT_TRUE(writer->add_frame(FrameImage{32, 16, std::vector<uint32_t>(512, 0xFF336699u)}));
    EXPECT_TRUE(writer->finish());
    EXPECT_FALSE(writer->add_frame(FrameImage{32, 16, std::vector<uint32_t>(512)})) << "after finish";
}

}  // namespace
