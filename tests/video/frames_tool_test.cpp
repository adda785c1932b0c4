// vantrel-frames: frame lists, the film's size and count, and the frames as pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

#include "frames/frames_tool.hpp"
#include "indexed_video.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;

int run(std::vector<std::string> args, std::string& out, std::string& err) {
    args.insert(args.begin(), "vantrel-frames");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int status = frames::run_frames_tool(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(FramesTool, ReadsFrameListsInTheOrderAsked) {
    EXPECT_EQ(frames::parse_frame_list("0,5,4,300-303,299-297"),
              (std::vector<int32_t>{0, 5, 4, 300, 301, 302, 303, 299, 298, 297}));
    EXPECT_EQ(frames::parse_frame_list("7"), (std::vector<int32_t>{7}));
    EXPECT_EQ(frames::parse_frame_list("3-3"), (std::vector<int32_t>{3}));
    for (const char* bad : {"", ",", "1,,2", "a", "-3", "1-", "5-x", "1-2-3", "0-2000000", "99999999999", "1 ,2"}) {
        EXPECT_FALSE(frames::parse_frame_list(bad).has_value()) << bad;
    }
}

TEST(FramesTool, TellsTheFilmsSizeAndWritesItsFrames) {
    av_log_set_level(AV_LOG_QUIET);
    test::TempDir dir;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    VideoWriterOptions o;
    o.keyframe_every = 10;
    o.b_frames = 2;
    ASSERT_EQ(test::write_indexed_video(dir / "film.avi", o, 40), "");
    test::write_bytes(dir / "text.avi", "not a film");
    std::string out, err;

    EXPECT_EQ(run({(dir / "film.avi").string(), "--info"}, out, err), frames::kExitOk);
    EXPECT_EQ(out, "frames=40 width=160 height=96\n");
    EXPECT_EQ(run({(dir / "text.avi").string(), "--info"}, out, err), frames::kExitOk);
    EXPECT_EQ(out, "frames=-1 width=0 height=0\n");

    std::filesystem::create_directories(dir / "out");
    EXPECT_EQ(run({(dir / "film.avi").string(), "--get", "3,38-41,12-11", "--out", (dir / "out").string()}, out, err),
              frames::kExitOk);
    EXPECT_EQ(err, "frame 40: beyond the end\nframe 41: beyond the end\n");
    for (int n : {3, 38, 39, 12, 11}) {
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString((dir / "out" / (std::to_string(n) + ".png")).string()))) << n;
        image = image.convertToFormat(QImage::Format_RGB32);
        FrameImage frame{image.width(), image.height(), {}};
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
            frame.pixels.insert(frame.pixels.end(), row, row + image.width());
        }
        EXPECT_EQ(test::shown_index(frame), n) << "at the film's own size, the frame asked for";
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "40.png"));

    EXPECT_EQ(run({(dir / "film.avi").string(), "--get", "1-x"}, out, err), 64);  // as every tool's usage error
    EXPECT_EQ(run({(dir / "film.avi").string()}, out, err), frames::kExitUsage);
    EXPECT_EQ(run({(dir / "film.avi").string(), "--get", "1", "--into", "x"}, out, err), frames::kExitUsage);
    EXPECT_EQ(run({(dir / "text.avi").string(), "--get", "1"}, out, err), frames::kExitFailed);
    EXPECT_EQ(run({(dir / "film.avi").string(), "--get", "1", "--out", (dir / "none").string()}, out, err),
              frames::kExitFailed);
}

}  // namespace
