// A drive played on the window with key events, serial chunks and joystick polls, recorded,
// replays headless to the same trace.
#include <QSettings>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/run.hpp"
#include "controllers/joystick_script.hpp"
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

// The last row's time of a trace.
long long last_time(const std::string& trace) {
    const auto last_row = trace.rfind('\n', trace.size() - 2);
    return last_row == std::string::npos ? -1 : std::stoll(trace.substr(last_row + 1));
}

// Replays a recording headless up to the trace's last row; the runner's trace.
std::string replay(const std::filesystem::path& data, const std::filesystem::path& out, long long last_t,
                   int32_t frames) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(last_t + 1) / 1000.0);
    std::string command = std::string(VANTREL_SIM_PATH) + " --data-dir " + data.string() + " --train " +
                          demo::kTrainFile + " --route " + demo::kRouteFile + " --strings " + demo::kStringFile +
                          " --script " + (out / "drive.txt").string() + " --trace " + (out / "sim.csv").string() +
                          " --events " + (out / "sim_events.csv").string() + " --view " +
                          (out / "sim_view.jsonl").string() + " --seconds " + seconds + " > /dev/null";
    if (frames >= 0) command += " --frames " + std::to_string(frames);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return slurp(out / "sim.csv");
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
    const long long last_t = last_time(window_trace);
    ASSERT_GT(last_t, 500);
    const std::string record = slurp(out / "drive.txt");
    EXPECT_NE(record.find(" start\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" vk shift+F11\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" key space\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" key hash\n"), std::string::npos) << record;
    EXPECT_EQ(replay(data_dir(), out.path(), last_t, frames), window_trace);

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

// The sound events up to `last_t` (the window logs its closing after that).
std::string events_until(const std::string& events, long long last_t) {
    std::istringstream in(events);
    std::string kept, line;
    while (std::getline(in, line))
        if (line.starts_with("t_ms") || std::stoll(line) <= last_t) kept += line + '\n';
    return kept;
}

// Keys typed fast and serial codes, landing on ticks and steps: the run's clock is held at an event's due
// time while keys come just before and just after the event of that millisecond ran (as
// when a key waits in the queue while the wake sleeps up to a tick). The replay must keep
// that order in every drive.
TEST_F(ReplayTest, KeysTypedOnTicksAndStepsReplayToTheSameTraceEventsAndView) {
    const std::string keys = "5zzzz3aa8zz1a5zq5z";
    for (int drive = 0; drive < 10; ++drive) {
        TempDir out;
        DriveRequest request;
        request.record = (out / "drive.txt").string();
        request.trace = (out / "window.csv").string();
        request.events = (out / "window_events.csv").string();
        request.view = (out / "window_view.jsonl").string();
        auto w = open_window(demo::kTrainFile, demo::kRouteFile, request);
        ASSERT_TRUE(w);
        w->show();
        const int32_t frames = w->run().video.length;
        DriveSession& session = w->session();
        int64_t clock = 1000 + drive;
        session.set_clock([&clock] { return clock; });
        w->item("start1")->trigger();
        for (int i = 0; i < 80; ++i) {
            clock = session.next_due_ms() + (i % 7 == drive % 7 ? 1 : 0);
            const bool after_the_event = (i + drive) % 4 != 0;
            if (after_the_event) session.catch_up();
            if (i % 9 == 4) {
                session.serial(i % 2 ? "PW002\r\n" : "\nBR003");  // a controller that ends its codes
            } else {
                QTest::keyClick(w.get(), keys[static_cast<size_t>(i + drive) % keys.size()]);
            }
        }
        clock += 400;
        session.catch_up();
        w->item("start1")->trigger();  // pause: the closing's sound calls come after the last step
        w->close();
        w.reset();

        const std::string window_trace = slurp(out / "window.csv");
        const long long last_t = last_time(window_trace);
        ASSERT_GT(last_t, 1500);
        ASSERT_EQ(replay(data_dir(), out.path(), last_t, frames), window_trace) << "drive " << drive;
        const std::string events = events_until(slurp(out / "window_events.csv"), last_t);
        EXPECT_NE(events.find(",play,"), std::string::npos) << events;
        EXPECT_EQ(events_until(slurp(out / "sim_events.csv"), last_t), events) << "drive " << drive;
        const std::string view = slurp(out / "window_view.jsonl");
        EXPECT_GT(std::count(view.begin(), view.end(), '\n'), 15);
        EXPECT_EQ(slurp(out / "sim_view.jsonl"), view) << "drive " << drive;
    }
}

TEST_F(ReplayTest, ControllerDriveReplaysToTheSameTrace) {
    QSettings().clear();
    joystick = {};
    joystick.last_state_sum = 7;  // left by an earlier run: the recording must carry it
    joystick.calibration[1] = -15000;
    TempDir out;
    DriveRequest request;
    request.record = (out / "drive.txt").string();
    request.trace = (out / "window.csv").string();
    BackEnds back_ends = make_back_ends();
    auto device = std::make_unique<ScriptedJoystickReader>();
    ScriptedJoystickReader& stick = *device;
    back_ends.joystick = std::move(device);
    auto w = open_window(demo::kTrainFile, demo::kRouteFile, request, std::move(back_ends));
    ASSERT_TRUE(w);
    w->show();
    const int32_t frames = w->run().video.length;
    w->item("start1")->trigger();
    QTest::qWait(120);
    w->session().serial("PW002");
    QTest::qWait(150);
    w->session().serial("BR001NEUTRPW001");  // three codes in one read: the last one holds
    EXPECT_EQ(w->run().core.PowerHandle, 1);
    QTest::qWait(150);
    w->item("COM21")->trigger();  // the Windows controller
    auto set_stick = [&](int32_t x, int32_t y, int32_t buttons) {
        JoystickState s{.x = x, .y = y, .buttons = {}};
        set_button_mask(s, buttons);
        stick.set(s);
    };
    set_stick(0, -15000, 0);  // notch 3
    QTest::qWait(250);
    set_stick(0, -15000, 1 << 2);  // horn button
    QTest::qWait(150);
    set_stick(5000, 0, 0);  // brake 3
    QTest::qWait(250);
    EXPECT_EQ(w->run().core.BrakeHandle, -3);
    w->item("COM11")->trigger();
    w->session().serial("REVNT");  // ignored while moving
    QTest::qWait(150);
    w->close();
    w.reset();

    const std::string window_trace = slurp(out / "window.csv");
    const long long last_t = last_time(window_trace);
    ASSERT_GT(last_t, 800);
    const std::string record = slurp(out / "drive.txt");
    EXPECT_NE(record.find(" serial 5057303032\n"), std::string::npos) << record;  // "PW002"
    EXPECT_NE(record.find(" controller 0 7\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" calibration 0 -15000 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" controller 1\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" joystick 0 -15000 4\n"), std::string::npos) << record;
    EXPECT_NE(record.find(" joystick 5000 0 0\n"), std::string::npos) << record;
    EXPECT_EQ(replay(data_dir(), out.path(), last_t, frames), window_trace);
    QSettings().clear();
}

}  // namespace
}  // namespace vantrel::test
