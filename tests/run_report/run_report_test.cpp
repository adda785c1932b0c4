// The run report of scripted drives on the small demo line, through the runner.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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
              "\"departure\": \"10:00:27\", \"stop_error_cm\": null}, "
              "{\"name\": \"川辺\", \"stop\": true, \"scheduled_arrival\": \"10:02:30\", \"arrival\": \"10:03:04\", "
              "\"departure\": null, \"stop_error_cm\": 4219}, "
              "{\"name\": \"緑ヶ丘\", \"stop\": false, \"scheduled_arrival\": null, \"arrival\": null, "
              "\"departure\": null, \"stop_error_cm\": null}, "
              "{\"name\": \"山手<\\\"&>\", \"stop\": true, \"scheduled_arrival\": null, \"arrival\": null, "
              "\"departure\": null, \"stop_error_cm\": null}], "
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

}  // namespace
