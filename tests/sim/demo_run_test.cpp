// Whole scripted runs through the runner, checked on their traces and sound events.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "demo_data/demo_data.hpp"
#include "test_support.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

using namespace vantrel;
using Row = std::map<std::string, std::string>;

// Splits one CSV line, honouring quoted fields.
std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                out.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                out.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

std::vector<Row> read_csv(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    const auto header = csv_fields(line);
    std::vector<Row> rows;
    while (std::getline(in, line)) {
        const auto fields = csv_fields(line);
        EXPECT_EQ(fields.size(), header.size()) << line;
        Row row;
        for (size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

long long num(const Row& r, const std::string& column) { return std::stoll(r.at(column)); }

struct DemoRun : ::testing::Test {
    test::TempDir dir;
    void SetUp() override { ASSERT_EQ(demo::write_demo_data(dir.path()), ""); }
    int run(sim::SimOptions o) {
        o.data_dir = dir.path().string();
        o.train = demo::kTrainFile;
        o.strings = demo::kStringFile;
        o.trace = (dir / "trace.csv").string();
        o.events = (dir / "events.csv").string();
        std::ostringstream out, err;
        const int status = sim::run_simulation(o, out, err);
        EXPECT_EQ(err.str(), "");
        return status;
    }
};

}  // namespace

TEST_F(DemoRun, TrainAloneStartsReleasesPowersCoastsAndBrakesToAStandstill) {
    test::write_bytes(dir / "s.txt",
                      "500 start\n1000 key 5\n9000 key z\n9100 key z\n9200 key z\n"
                      "40000 key a\n40100 key a\n40200 key a\n50000 key a\n50100 key a\n50200 key a\n");
    sim::SimOptions o;
    o.script = (dir / "s.txt").string();
    o.seconds = 120;
    ASSERT_EQ(run(o), sim::kExitOk);
    const auto rows = read_csv(dir / "trace.csv");
    ASSERT_EQ(rows.size(), 1195u);  // steps at 600 .. 120000
    EXPECT_EQ(num(rows.front(), "t_ms"), 600);
    EXPECT_EQ(num(rows.front(), "brake_handle"), -8);  // the run starts in emergency

    long long top_speed = 0;
    double stopped_at = -1;
    for (const Row& r : rows) {
        const long long t = num(r, "t_ms");
        top_speed = std::max(top_speed, num(r, "speed"));
        EXPECT_EQ(num(r, "frame"), 0);  // no route: the frame stays
        EXPECT_EQ(num(r, "doors_open"), 0);
        if (t > 9500 && t < 40000) {
            EXPECT_EQ(num(r, "power_notch"), 3);
        }
        if (t > 41000 && t < 50000) {
            EXPECT_EQ(num(r, "tractive_force"), 0) << t;  // coasting
            EXPECT_LT(num(r, "resistance_force"), 0);
        }
        if (stopped_at < 0 && t > 50000 && num(r, "speed") == 0) stopped_at = std::stod(r.at("distance"));
        if (stopped_at >= 0) {
            EXPECT_EQ(num(r, "speed"), 0) << t;  // no creep once stopped on the level
            EXPECT_EQ(std::stod(r.at("distance")), stopped_at);
        }
    }
    EXPECT_GT(top_speed, 600000);  // above 60 km/h
    EXPECT_GT(stopped_at, 30000);  // more than 300 m run
    EXPECT_EQ(rows.back().at("wheel"), "Normal");
    EXPECT_EQ(num(rows.back(), "brake_notch"), -3);  // three notches from P0
}

TEST_F(DemoRun, DemoLineDepartsRunsAndStopsAtTheNextPlatformWithItsDoorsOpen) {
    sim::SimOptions o;
    o.route = demo::kRouteFile;
    o.frames = demo::kVideoFrames;
    o.script = (dir / demo::kScriptFile).string();
    o.seconds = 240;
    ASSERT_EQ(run(o), sim::kExitOk);
    const auto rows = read_csv(dir / "trace.csv");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(num(rows.front(), "frame"), 100);
    EXPECT_EQ(num(rows.front(), "clock_ticks"), 1080000 + 3);  // three ticks by the first step
    EXPECT_EQ(rows.front().at("label4"), "中央");

    long long departed = -1, arrived = -1, reopened = -1;
    for (const Row& r : rows) {
        const long long t = num(r, "t_ms");
        if (departed < 0 && num(r, "doors_open") == 0) departed = t;
        // Arrived once the speed rounds to 0 km/h, when the doors may open.
        if (departed > 0 && arrived < 0 && num(r, "speed") < 5000 && num(r, "frame") > 5000) arrived = t;
        if (arrived > 0 && reopened < 0 && num(r, "doors_open") == 1) reopened = t;
    }
    // Doors close at the door-close time (25 s after the start) plus the closing sound.
    EXPECT_GT(departed, 26000);
    EXPECT_LT(departed, 30000);
    ASSERT_GT(arrived, 0);
    ASSERT_GT(reopened, 0);
    EXPECT_LE(reopened - arrived, 200);  // the doors open at once on the stop
    const Row& stop = rows[static_cast<size_t>((arrived - 1100) / 100)];
    EXPECT_GE(num(stop, "frame"), 5150);  // within the platform
    EXPECT_LE(num(stop, "frame"), 5250);
    EXPECT_EQ(num(stop, "station"), 1);
    EXPECT_EQ(stop.at("label4"), "川辺");
    EXPECT_EQ(num(rows.back(), "ats_emergency"), 0);

    // Sounds: the door closing at departure, the departure signal once it ended, the
    // door opening at the stop, and the departure melody at its time.
    const auto events = read_csv(dir / "events.csv");
    auto first = [&](int channel, const std::string& op, long long after) {
        for (const Row& e : events)
            if (num(e, "channel") == channel && e.at("operation") == op && num(e, "t_ms") > after) return num(e, "t_ms");
        return -1LL;
    };
    const long long close = first(22, "play", 0);
    EXPECT_GT(close, 25000);
    EXPECT_EQ(first(31, "play", 0), close + 2500);  // the closing sound lasts 2.5 s
    EXPECT_GE(first(21, "play", 30000), arrived);
    EXPECT_LE(first(21, "play", 30000), reopened);
    EXPECT_GT(first(32, "play", arrived), arrived);  // channel 32: route sound 0, the melody
}
