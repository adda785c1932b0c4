// The run report of scripted drives on the small demo line, through the runner.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/report_writers.hpp"
#include "demo_data/demo_data.hpp"
#include "demo_data/demo_texts.hpp"
#include "test_support.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

using namespace vantrel;

using vantrel::test::slurp;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The demo drive: power at 28 s, off at 60 s, the horn at 90 and 120 s (the vigilance
// device), and the brake at `brake_s`.
std::string drive(int brake_s, bool horn) {
    std::string s = "1000 start\n2000 key 5\n28000 key z\n28300 key z\n28600 key z\n28900 key z\n"
                    "60000 key a\n60100 key a\n60200 key a\n60300 key a\n";
    if (horn) s += "90000 key 3\n120000 key 3\n";
    for (int i = 0; i < 4; ++i) s += std::to_string(brake_s * 1000 + i * 100) + " key a\n";
    return s;
}

class RunReportDrive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(demo::write_demo_data(dir.path()), "");
        // 川辺 gets a scheduled arrival of 10:02:30; the last station a name to escape.
        std::string route = replaced(demo::route_text(), "[StationKanko]\n1,0,20\n", "[StationKanko]\n1,0,1084500\n");
        route = replaced(route, "山手,0,", "山手<\"&>,0,");
        test::write_cp932(dir / "line_report.dat", route);
    }

    std::string report(const std::string& script, const std::string& file) {
        test::write_bytes(dir / "drive.txt", script);
        sim::SimOptions o;
        o.data_dir = dir.path().string();
        o.train = demo::kTrainFile;
        o.route = "line_report.dat";
        o.strings = demo::kStringFile;
        o.frames = demo::kVideoFrames;
        o.script = (dir / "drive.txt").string();
        o.seconds = 240;
        o.reports = {(dir / file).string()};
        std::ostringstream out, err;
        EXPECT_EQ(sim::run_simulation(o, out, err), sim::kExitOk) << err.str();
        return slurp(dir / file);
    }

    test::TempDir dir;
};

TEST_F(RunReportDrive, ALateStopPastThePlatformWithOverspeedAndAnAtsEmergencyGivesExactlyThoseLines) {
    // Braking 3 s late: 52 km/h into the 45 km/h zone, the speed check's alarm is not
    // confirmed (ATS emergency 5 s on), and the train stands 42 m past the stop point.
    EXPECT_EQ(report(drive(156, true), "report.txt"),
              "運転記録: デモ線 中央～山手 (train_demo.dat)\n"
              "駅:\n"
              "  中央 停車 発 10:00:27 (予定 10:00:25 定時)\n"
              "  川辺 停車 着 10:03:04 (予定 10:02:30 34秒遅れ) 停止位置 4219 cm 行き過ぎ ホーム外\n"
              "  緑ヶ丘 通過 --:--:--\n"
              "  山手<\"&> 停車 --:--:--\n"
              "非常制動:\n"
              "  ATS 10:02:59 フレーム 5405 (2568.1 m)\n"
              "速度超過:\n"
              "  制限 45 km/h を 11 km/h 超過 5.0 秒 10:02:41 フレーム 4703 (2385.5 m)\n");
    EXPECT_EQ(report(drive(156, true), "report.json"),
              "{\"stations\": ["
              "{\"name\": \"中央\", \"stop\": true, \"scheduled_arrival\": null, \"arrival\": null, "
              "\"departure\": \"10:00:27\", \"stop_error_cm\": null, \"scheduled_departure\": \"10:00:25\", "
              "\"missed\": false, \"inside_platform\": true}, "
              "{\"name\": \"川辺\", \"stop\": true, \"scheduled_arrival\": \"10:02:30\", \"arrival\": \"10:03:04\", "
              "\"departure\": null, \"stop_error_cm\": 4219, \"scheduled_departure\": \"10:03:40\", \"missed\": false, "
              "\"inside_platform\": false}, "
              "{\"name\": \"緑ヶ丘\", \"stop\": false, \"scheduled_arrival\": null, \"arrival\": null, "
              "\"departure\": null, \"stop_error_cm\": null, \"scheduled_departure\": null, \"missed\": false, "
              "\"inside_platform\": true}, "
              "{\"name\": \"山手<\\\"&>\", \"stop\": true, \"scheduled_arrival\": null, \"arrival\": null, "
              "\"departure\": null, \"stop_error_cm\": null, \"scheduled_departure\": \"10:07:10\", \"missed\": false, "
              "\"inside_platform\": true}], "
              "\"emergencies\": [{\"kind\": \"ats\", \"time\": \"10:02:59\", \"frame\": 5405, \"metres\": 2568.1}], "
              "\"overspeed\": [{\"limit\": 45, \"over_by\": 11, \"seconds\": 5.0, \"time\": \"10:02:41\", "
              "\"frame\": 4703, \"metres\": 2385.5}]}\n");
    const std::string html = report(drive(156, true), "report.html");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<td>山手&lt;&quot;&amp;&gt;</td>"), std::string::npos);
    EXPECT_EQ(html.find("山手<\""), std::string::npos);
}

TEST_F(RunReportDrive, SilenceAtSpeedIsAVigilanceEmergencyAndAGoodStopIsOnlyLate) {
    // No horn after the last handle move at 60.3 s: the vigilance device brakes at 125.4 s,
    // between the stations, where no stop is counted.
    const std::string text = report(drive(153, false), "report.txt");
    EXPECT_NE(text.find("非常制動:\n  EB 10:02:"), std::string::npos) << text;
    EXPECT_NE(text.find("  川辺 停車 --:--:--\n"), std::string::npos) << text;
    // The demo drive as it is stops inside the platform, 3.31 m past the stop point.
    EXPECT_NE(report(drive(153, true), "good.txt")
                  .find("  川辺 停車 着 10:03:06 (予定 10:02:30 36秒遅れ) 停止位置 331 cm 行き過ぎ\n"),
              std::string::npos);
}

TEST(RunReportWriters, JudgementsAgreeWithTheShownTimesAndDataTextCannotDriveTheTerminal) {
    constexpr int32_t kTen = 10 * 3600 * 30;  // 10:00:00 in ticks of 1/30 s
    // Each judgement counts the whole seconds between the two times shown.
    struct Case {
        int32_t actual, planned;
        const char* said;
    } const cases[] = {
        {kTen + 29, kTen + 42 * 30, "10:00:00 (予定 10:00:42 42秒早い)"},  // 41.03 s apart in ticks
        {kTen + 42 * 30, kTen + 29, "10:00:42 (予定 10:00:00 42秒遅れ)"},
        {kTen + 15 * 30, kTen + 29, "10:00:15 (予定 10:00:00 15秒遅れ)"},  // 14.03 s in ticks
        {kTen + 14 * 30 + 29, kTen, "10:00:14 (予定 10:00:00 定時)"},
        {kTen + 65 * 30, kTen, "10:01:05 (予定 10:00:00 1分05秒遅れ)"},
    };
    for (const Case& c : cases) {
        RunReportData r;
        StationReport s;
        s.name = "A";
        s.stop = false;
        s.scheduled_arrival = c.planned;
        s.arrival = c.actual;
        r.stations.push_back(s);
        EXPECT_NE(report_text(r).find("A 通過 " + std::string(c.said)), std::string::npos) << report_text(r);
    }

    RunReportData r;
    r.line_name = "線\x1b]0;pwn\x07";
    r.train = "t\x7f.dat";
    StationReport s;
    s.name = "駅\xc2\x9b" "2J";
    s.scheduled_departure = 300;
    s.missed = true;
    r.stations.push_back(s);
    const std::string text = report_text(r);
    EXPECT_TRUE(text.starts_with("運転記録: 線\\x1b]0;pwn\\x07 (t\\x7f.dat)\n")) << text;
    EXPECT_NE(text.find("駅\\x9b2J 停車 停車せず"), std::string::npos) << text;
    // A missed stop is told apart from one not reached, with its scheduled departure.
    EXPECT_NE(report_json(r).find("\"scheduled_departure\": \"00:00:10\", \"missed\": true, \"inside_platform\": true"),
              std::string::npos)
        << report_json(r);
}

}  // namespace
