// The films of the demo pack as the frame reader will meet them.
#include <gtest/gtest.h>

#include "demo_data/film_renderer.hpp"
#include "demo_data/pack.hpp"
#include "demo_data/pack_video.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "test_support.hpp"

using namespace vantrel;

TEST(DemoPackFilm, AFilmIsMpeg4WithAKeyframeEveryThirtyFramesAndNoBFrames) {
    static const demo::OffscreenApp app;
    test::TempDir dir;
    const auto lines = demo::pack_lines(true);
    const demo::FilmRenderer renderer(lines[0].scene, lines[0].film, 480, 240);
    const auto file = dir / "film.avi";
    std::vector<QImage> thumbs;
    ASSERT_EQ(demo::write_line_film(renderer, 61, file, 30, thumbs), "");
    EXPECT_EQ(thumbs.size(), 3u);  // frames 0, 30, 60
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(avformat_open_input(&raw, file.string().c_str(), nullptr, nullptr), 0);
    ff::InputContext in(raw);
    ASSERT_GE(avformat_find_stream_info(in.get(), nullptr), 0);
    ASSERT_EQ(in->nb_streams, 1u);
    const AVCodecParameters* par = in->streams[0]->codecpar;
    EXPECT_EQ(par->codec_id, AV_CODEC_ID_MPEG4);
    EXPECT_EQ(par->width, 480);
    EXPECT_EQ(par->height, 240);
    EXPECT_EQ(par->video_delay, 0);  // no B-frames
    auto packet = ff::make_packet();
    std::vector<int> keys;
    int count = 0;
    while (av_read_frame(in.get(), packet.get()) >= 0) {
        if (packet->flags & AV_PKT_FLAG_KEY) keys.push_back(count);
        ++count;
        av_packet_unref(packet.get());
    }
    EXPECT_EQ(count, 61);
    EXPECT_EQ(keys, (std::vector<int>{0, 30, 60}));
}
