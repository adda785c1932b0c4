// vantrel-sim --video: the run takes the length of the route's own video, as the driving window does.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "demo_data/demo_data.hpp"
#include "platform/video_writer.hpp"
#include "test_support.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

using namespace vantrel;

// The preceding train's frame at every step of the trace.
std::vector<int> preceding_frames(const std::filesystem::path& trace) {
    std::ifstream in(trace);
    std::string line;
    std::getline(in, line);
    int column = 0;
    for (size_t at = 0; at < line.find("preceding_frame"); ++at) column += line[at] == ',';
    std::vector<int> values;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::string cell;
        for (int i = 0; i <= column; ++i) std::getline(row, cell, ',');
        values.push_back(std::stoi(cell));
    }
    return values;
}

int run(const test::TempDir& dir, sim::SimOptions o, std::string& err) {
    o.data_dir = dir.path().string();
    o.train = demo::kTrainFile;
    o.route = demo::kRouteFile;
    o.strings = demo::kStringFile;
    o.script = (dir / demo::kScriptFile).string();
    o.trace = (dir / "trace.csv").string();
    o.seconds = 7;
    std::ostringstream out, errors;
    const int status = sim::run_simulation(o, out, errors);
    err = errors.str();
    return status;
}

TEST(SimVideo, TheRouteVideoGivesTheLengthThePrecedingTrainRunsOffAt) {
    test::TempDir dir;
    ASSERT_EQ(demo::write_demo_data(dir.path()), "");
    // The demo line starts at frame 100 with the preceding train 150 s (4500 frames) ahead.
    VideoWriterOptions o;
    o.codec = VideoWriterOptions::Codec::Mjpeg;
    o.width = 16;
    o.height = 16;
    std::string error;
    std::filesystem::create_directories(dir / "Movie");
    auto writer = VideoWriter::open(dir / "Movie" / "demo.avi", o, error);
    ASSERT_NE(writer, nullptr) << error;
    const FrameImage grey{16, 16, std::vector<uint32_t>(256, 0xFF808080u)};
    for (int i = 0; i < 4700; ++i) ASSERT_TRUE(writer->add_frame(grey));
    ASSERT_TRUE(writer->finish());

    sim::SimOptions with_video;
    with_video.video = true;
    ASSERT_EQ(run(dir, with_video, error), sim::kExitOk) << error;
    EXPECT_EQ(error, "");
    auto frames = preceding_frames(dir / "trace.csv");
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 4603);  // three ticks by the first step
    EXPECT_EQ(*std::max_element(frames.begin(), frames.end()), 4700) << "runs to the video's last frame";
    EXPECT_EQ(frames.back(), 0) << "and off its end";

    std::filesystem::remove(dir / "Movie" / "demo.avi");
    ASSERT_EQ(run(dir, with_video, error), sim::kExitOk);
    EXPECT_NE(error.find("video cannot be opened"), std::string::npos) << error;
    frames = preceding_frames(dir / "trace.csv");
    EXPECT_EQ(*std::max_element(frames.begin(), frames.end()), 0) << "no video, no preceding train";
}

TEST(SimVideo, VideoIsAFlagThatExcludesFrames) {
    std::ostringstream err;
    const char* flag[] = {"vantrel-sim", "--video", "--train", "t.dat"};
    const auto parsed = sim::parse_arguments(4, flag, err);
    ASSERT_TRUE(parsed.has_value()) << err.str();
    EXPECT_TRUE(parsed->video);
    EXPECT_EQ(parsed->train, "t.dat");
    const char* both[] = {"vantrel-sim", "--train", "t.dat", "--frames", "10", "--video"};
    EXPECT_FALSE(sim::parse_arguments(6, both, err).has_value());
    EXPECT_NE(err.str().find("exclude"), std::string::npos);
}

}  // namespace
