// A drive played on the window with key events, recorded, replays headless to the same trace.
#include <QTest>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/run.hpp"
#include "ui/drive_session.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

using ReplayTest = UiTest;

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(ReplayTest, WindowTraceEqualsTheRunnersReplayOfTheRecording) {
    TempDir out;
    DriveRequest request;
    request.record = (out / "drive.txt").string();
    request.trace = (out / "window.csv").string();
    request.timing_log = (out / "timing.csv").string();
    auto w = open_window(demo::kTrainFile, demo::kRouteFile, request);
    ASSERT_TRUE(w);
    w->show();
    const int32_t frames = w->run().video.length;
    QTest::qWait(50);
    QTest::keyClick(w.get(), 'z');  // before the start: only resets the vigilance counter
    w->item("start1")->trigger();
    QTest::qWait(120);
    QTest::keyClick(w.get(), '5');
    QTest::qWait(70);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(w.get(), 'z');
        QTest::qWait(45);
    }
    QTest::keyClick(w.get(), Qt::Key_F11, Qt::ShiftModifier);
    QTest::qWait(300);
    QTest::keyClick(w.get(), 'a');
    QTest::keyClick(w.get(), '#');  // no action, but a driver action all the same
    QTest::keyClick(w.get(), ' ');
    QTest::qWait(150);
    w->item("start1")->trigger();  // pause, then on again
    QTest::qWait(80);
    w->item("start1")->trigger();
    QTest::qWait(260);
    w->close();
    w.reset();

    const std::string window_trace = slurp(out / "window.csv");
    const auto last_row = window_trace.rfind('\n', window_trace.size() - 2);
    ASSERT_NE(last_row, std::string::npos);
    const long long last_t = std::stoll(window_trace.substr(last_row + 1));
    ASSERT_GT(last_t, 500);
    const std::string record = slurp(out / "drive.txt");
    EXPECT_NE(record.find(" start\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" vk shift+F11\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" key space\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" key hash\n"), std::string::npos) << record;

    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(last_t + 1) / 1000.0);
    std::string command = std::string(VANTREL_SIM_PATH) + " --data-dir " + data_dir().string() + " --train " +
                          demo::kTrainFile + " --route " + demo::kRouteFile + " --strings " + demo::kStringFile +
                          " --script " + (out / "drive.txt").string() + " --trace " + (out / "sim.csv").string() +
                          " --seconds " + seconds + " > /dev/null";
    if (frames >= 0) command += " --frames " + std::to_string(frames);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(slurp(out / "sim.csv"), window_trace);

    // The timing log has one line per tick and step, due times in the scheduler's order.
    std::ifstream timing(out / "timing.csv");
    std::string line;
    std::getline(timing, line);
    EXPECT_EQ(line, "event,due_ms,wall_ms");
    int ticks = 0, steps = 0;
    while (std::getline(timing, line)) {
        if (line.starts_with("tick,")) ++ticks;
        if (line.starts_with("step,")) ++steps;
    }
    EXPECT_GT(ticks, steps * 2);
    EXPECT_GT(steps, 5);
}

}  // namespace
}  // namespace vantrel::test
