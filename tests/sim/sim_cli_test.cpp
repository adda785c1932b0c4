// The runner as a command: exit status, error lines and its outputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "demo_data/demo_data.hpp"
#include "test_support.hpp"

namespace {

using vantrel::test::TempDir;

struct Outcome {
    int status = -1;
    std::string out, err;
};

using vantrel::test::slurp;

Outcome sim(const TempDir& dir, const std::string& args) {
    const std::string cmd = std::string(VANTREL_SIM_PATH) + " " + args + " >" + (dir / "out.txt").string() +
                            " 2>" + (dir / "err.txt").string();
    const int raw = std::system(cmd.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = slurp(dir / "out.txt");
    o.err = slurp(dir / "err.txt");
    return o;
}

}  // namespace

TEST(SimCommand, RefusesBadUsageWithStatus64) {
    TempDir dir;
    EXPECT_EQ(sim(dir, "").status, 64);  // --train is required
    EXPECT_EQ(sim(dir, "--train").status, 64);
    EXPECT_EQ(sim(dir, "--train t.dat --bogus 1").status, 64);
    EXPECT_EQ(sim(dir, "--train t.dat --seconds -3").status, 64);
    vantrel::test::write_bytes(dir / "s.txt", "100 start\n50 key z\n");  // time goes backwards
    EXPECT_EQ(sim(dir, "--train t.dat --script " + (dir / "s.txt").string()).status, 64);
    for (const char* bad : {"100 key zz\n", "100 key 0xg1\n", "100 key\n", "100 serial\n", "100 serial 565\n",
                            "100 serial 5g\n", "100 joystick 1 2\n", "100 joystick 40000 0 0\n",
                            "100 joystick 0 0 65536\n", "100 controller 3\n", "100 controller 1 x\n",
                            "100 calibration 1 2 3\n"}) {
        vantrel::test::write_bytes(dir / "s.txt", bad);
        EXPECT_EQ(sim(dir, "--train t.dat --script " + (dir / "s.txt").string()).status, 64) << bad;
    }
    vantrel::test::write_bytes(dir / "s.txt", "100 jump\n");
    const Outcome o = sim(dir, "--train t.dat --script " + (dir / "s.txt").string());
    EXPECT_EQ(o.status, 64);
    EXPECT_NE(o.err.find("s.txt:1"), std::string::npos) << o.err;
}

TEST(SimCommand, ReportsADataFileErrorWithItsMessageThenFileAndLine) {
    TempDir dir;
    vantrel::test::write_cp932(dir / "bad.dat", "[Handle]\n0\n[Cars]\n12a\n");
    const Outcome o = sim(dir, "--data-dir " + dir.path().string() + " --train bad.dat");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, "車両ファイルに誤りがあります- 列車の基本設定\nbad.dat:4\n");

    const Outcome missing = sim(dir, "--data-dir " + dir.path().string() + " --train none.dat");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "車両ファイルに誤りがあります\nnone.dat:0\n");
}

TEST(SimCommand, WritesTraceEventsAndViewForTheDemoRun) {
    TempDir dir;
    ASSERT_EQ(vantrel::demo::write_demo_data(dir.path()), "");
    const std::string d = dir.path().string();
    const Outcome o = sim(dir, "--data-dir " + d + " --train train_demo.dat --route line_demo.dat --strings vantrel.dat"
                               " --frames 10500 --seconds 5 --script " + (dir / "demo_run.txt").string() +
                               " --trace " + (dir / "t.csv").string() + " --events " + (dir / "e.csv").string() +
                               " --view " + (dir / "v.jsonl").string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("5.0 s simulated"), std::string::npos) << o.out;

    std::istringstream trace(slurp(dir / "t.csv"));
    std::string line;
    std::getline(trace, line);
    EXPECT_EQ(line.rfind("t_ms,clock_ticks,frame,speed,distance,", 0), 0u);
    int rows = 0;
    std::string last;
    while (std::getline(trace, line)) ++rows, last = line;
    // Started at 1000 ms: steps at 1100 .. 5000.
    EXPECT_EQ(rows, 40);
    EXPECT_EQ(last.rfind("5000,", 0), 0u) << last;

    const std::string events = slurp(dir / "e.csv");
    EXPECT_EQ(events.rfind("t_ms,channel,operation,value\n", 0), 0u);
    EXPECT_NE(events.find("0,0,assign,Run0.wav\n"), std::string::npos);

    std::istringstream view(slurp(dir / "v.jsonl"));
    int objects = 0;
    while (std::getline(view, line)) {
        ++objects;
        EXPECT_EQ(line.front(), '{');
        EXPECT_EQ(line.back(), '}');
        last = line;
    }
    EXPECT_EQ(objects, 40);
    EXPECT_NE(last.find("\"Label4\":\"中央\""), std::string::npos) << last;
}

TEST(SimCommand, SerialChunksAndJoystickPollsDriveTheHandles) {
    TempDir dir;
    ASSERT_EQ(vantrel::demo::write_demo_data(dir.path()), "");
    vantrel::test::write_bytes(dir / "mascon.dat", "VP01E\r\nVP02E\r\n#\r\n");
    // "VP02E", then the Windows controller with its brake lever in the third band; the
    // poll happens in the step at 300, whose row shows it.
    vantrel::test::write_bytes(dir / "s.txt",
                               "0 start\n50 serial 5650303245\n150 controller 1\n250 joystick 5000 0 0\n");
    auto handles_at = [&](const std::string& t) {
        std::istringstream trace(slurp(dir / "t.csv"));
        for (std::string line; std::getline(trace, line);) {
            if (!line.starts_with(t + ",")) continue;
            std::vector<std::string> cells;
            std::istringstream row(line);
            for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
            return cells.at(6) + "/" + cells.at(7);  // power_handle/brake_handle
        }
        return std::string("none");
    };
    const std::string args = "--data-dir " + dir.path().string() + " --train train_demo.dat --seconds 0.3 --script " +
                             (dir / "s.txt").string() + " --trace " + (dir / "t.csv").string();
    Outcome o = sim(dir, args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(handles_at("100"), "2/0");
    EXPECT_EQ(handles_at("300"), "0/-3");

    // The PlayStation controller matches its calibration codes: P1 is -15000, B0 is 0.
    vantrel::test::write_bytes(dir / "s.txt", "0 start\n0 calibration 0 -15000 0 0 0 0 0 1 2 3 4 5 6 7 8 9\n"
                                              "0 controller 2\n50 joystick 0 -15000 0\n");
    o = sim(dir, args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(handles_at("100"), "1/0");

    vantrel::test::write_bytes(dir / "s.txt", "0 start\n50 serial 5650303245\n");
    std::filesystem::remove(dir / "mascon.dat");  // no codes: the chunk matches nothing
    o = sim(dir, args);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(handles_at("100"), "0/-8");
}
