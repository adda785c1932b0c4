// What the cab says: the log format, the voice's queue, the stopping aid, announcements
// held against the trace of whole runs, and the listening driver on every demo line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "app/run.hpp"
#include "app/run_setup.hpp"
#include "cab/header_picture_loader.hpp"
#include "demo_data/pack.hpp"
#include "driving/careful_driver.hpp"
#include "driving/listening_driver.hpp"
#include "speech/announcer.hpp"
#include "speech/speech_queue.hpp"
#include "speech/stop_aid.hpp"
#include "test_support.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

using namespace vantrel;
using speech::Kind;
using speech::Utterance;

std::unique_ptr<test::TempDir> g_dir;

// The small demo pack, written once for every test here.
class Speech : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (g_dir) return;
        static const demo::OffscreenApp app;
        g_dir = std::make_unique<test::TempDir>();
        demo::PackOptions o;
        o.small = true;
        o.films = false;
        ASSERT_EQ(demo::write_pack(g_dir->path(), o), "");
    }
    static const std::filesystem::path& dir() { return g_dir->path(); }
    static std::unique_ptr<vantrel::Run> load(const std::string& train, const std::string& route) {
        auto r = std::make_unique<vantrel::Run>();
        const PathResolver resolver(dir().string());
        HeaderPictureLoader pictures;
        EXPECT_FALSE(load_run(*r, RunFiles{train, route, "vantrel.dat"}, resolver, pictures));
        return r;
    }
    static int32_t frames(const std::string& route) {
        return demo::pack_lines(true)[route == "line_local2.dat" ? 1 : 0].film.frames();
    }

    // Runs the runner with a speech log and a trace; returns the utterances.
    static std::vector<Utterance> run(sim::SimOptions o, const std::string& train, const std::string& route) {
        o.data_dir = dir().string();
        o.train = train;
        o.route = route;
        o.strings = "vantrel.dat";
        o.frames = frames(route);
        o.trace = (dir() / "trace.csv").string();
        o.speech_log = (dir() / "speech.csv").string();
        std::ostringstream out, err;
        EXPECT_EQ(sim::run_simulation(o, out, err), sim::kExitOk) << err.str();
        std::vector<Utterance> said;
        std::ifstream in(o.speech_log);
        for (std::string line; std::getline(in, line);) {
            const auto u = speech::parse_log_line(line);
            EXPECT_TRUE(u) << line;
            if (u) said.push_back(*u);
        }
        return said;
    }
};

// The trace by step time: column name to value.
std::map<int64_t, std::map<std::string, std::string>> read_trace(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    std::vector<std::string> header;
    for (std::stringstream h(line); std::getline(h, line, ',');) header.push_back(line);
    std::map<int64_t, std::map<std::string, std::string>> rows;
    while (std::getline(in, line)) {
        std::map<std::string, std::string> row;
        std::stringstream s(line);
        for (size_t i = 0; i < header.size() && std::getline(s, line, ','); ++i) row[header[i]] = line;
        rows[std::stoll(row["t_ms"])] = std::move(row);
    }
    return rows;
}

}  // namespace

TEST(SpeechLog, LinesRoundTripAndMalformedLinesAreRefused) {
    const Utterance u{1250, Kind::stop_distance, 2.5, "停止位置まで2.5メートル, ok"};
    const std::string line = speech::log_line(u);
    EXPECT_EQ(line, "1250,stop_distance,2.5,停止位置まで2.5メートル, ok\n");
    const auto back = speech::parse_log_line(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ms, 1250);
    EXPECT_EQ(back->kind, Kind::stop_distance);
    EXPECT_DOUBLE_EQ(back->value, 2.5);
    EXPECT_EQ(back->text, u.text);
    EXPECT_EQ(speech::value_text(-0.5), "-0.5");
    EXPECT_EQ(speech::value_text(-0.0), "0");
    for (const char* bad : {"", "12", "12,speed", "12,speed,3", "x,speed,3,a", "12,shout,3,a", "12,speed,3x,a",
                            "12,speed,nan,a", "12,speed,,a"})
        EXPECT_FALSE(speech::parse_log_line(bad)) << bad;
}

TEST(SpeechQueue, ANewerUtteranceTakesThePlaceOfTheWaitingOneOfItsKind) {
    speech::SpeechQueue q;
    q.push({100, Kind::stop_distance, 300, "300"});
    q.push({100, Kind::doors, 0, "closed"});
    q.push({200, Kind::stop_distance, 200, "200"});
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q.pop()->text, "200");  // in the older one's turn
    EXPECT_EQ(q.pop()->text, "closed");
    EXPECT_FALSE(q.pop());
}

TEST(StopAid, BeepsQuickerAndHigherNearThePointAndIsSilentStandingOrPast) {
    EXPECT_EQ(speech::beep_shape(10000).interval_ms, 1500);
    EXPECT_EQ(speech::beep_shape(0).interval_ms, 150);
    EXPECT_GT(speech::beep_shape(2000).pitch, speech::beep_shape(8000).pitch);
    vantrel::Run run;
    run.core.TargetDistance = 500000;
    run.core.Speed = 200000;  // 20 km/h
    struct Case { long double remaining_cm; int64_t ms; bool beep; };
    const Case cases[] = {
        {12000, 0, false},    // beyond 100 m
        {8000, 100, true},    // the first beep inside 100 m
        {7900, 300, false},   // too soon after it
        {7500, 1600, true},   // its interval (about 1.2 s) has passed
        {-100, 1700, false},  // past the point
    };
    speech::StopAid aid;
    for (const Case& c : cases) {
        run.core.RemainingDistance = c.remaining_cm;
        EXPECT_EQ(aid.observe(run, c.ms).has_value(), c.beep) << c.ms;
    }
    run.core.RemainingDistance = 500;
    run.core.Speed = 0;
    EXPECT_FALSE(aid.observe(run, 5000));
    // The generated beep has soft ends.
    const auto wave = speech::beep_samples(22050);
    ASSERT_GT(wave.size(), 100u);
    EXPECT_LT(std::abs(wave.front()), 200);
    EXPECT_LT(std::abs(wave.back()), 200);
    // The aid's channel is one no sound of the run uses.
    run.drive_sound_count = 10;
    run.train.motor_sounds.resize(14);  // 240 .. 253
    EXPECT_EQ(speech::spare_channel(run), 239);
    run.drive_sound_count = 240;
    EXPECT_EQ(speech::spare_channel(run), -1);
}

TEST(Announcer, OverspeedIsSaidOnceAndAgainEveryTenSecondsWhileItLasts) {
    vantrel::Run run;
    run.route.speed_g = 100;
    speech::Announcer a;
    struct Case { int64_t ms; int32_t kmh; bool said; };
    const Case cases[] = {
        {0, 120, false},      // the first step only takes the run as it stands
        {100, 120, true},     // over: said
        {9900, 120, false},   // still over, not yet 10 s on
        {10100, 115, true},   // 10 s on
        {10200, 100, false},  // at the limit is not over
        {10300, 101, true},   // over again: said at once
    };
    for (const Case& c : cases) {
        run.core.Speed = c.kmh * 10000LL;
        a.observe(run, c.ms);
        const auto said = a.take();
        EXPECT_EQ(said.size(), c.said ? 1u : 0u) << c.ms;
        if (!said.empty()) {
            EXPECT_EQ(said[0].value, 100);
        }
    }
}

TEST_F(Speech, ACarefulDriveIsAnnouncedWhereItsTraceSaysAndEachMarkOnce) {
    sim::SimOptions o;
    o.drive = (dir() / "drive.txt").string();
    const auto said = run(o, "train_721.dat", "line_rapid.dat");
    const auto trace = read_trace(dir() / "trace.csv");
    ASSERT_FALSE(said.empty());
    std::map<std::pair<long double, int>, int> marks;  // (stop point, mark) -> times said
    int at_point = 0, doors = 0;
    std::vector<std::string> next_stations;
    for (const Utterance& u : said) {
        SCOPED_TRACE(speech::log_line(u));
        ASSERT_TRUE(trace.count(u.ms));
        const auto& row = trace.at(u.ms);
        const auto& before = std::prev(trace.find(u.ms))->second;
        const long double r = std::stold(row.at("remaining")), r0 = std::stold(before.at("remaining"));
        switch (u.kind) {
            case Kind::stop_distance:
                // Said in the step that crossed its mark.
                EXPECT_LE(r, u.value * 100);
                EXPECT_GT(r0, u.value * 100);
                ++marks[{r + std::stold(row.at("distance")), static_cast<int>(u.value)}];
                break;
            case Kind::stopped:
                if (u.value == 0) {
                    EXPECT_LE(std::fabs(r), 50);
                    ++at_point;
                }
                break;
            case Kind::doors:
                EXPECT_EQ(row.at("doors_open"), u.value ? "1" : "0");
                EXPECT_NE(before.at("doors_open"), row.at("doors_open"));
                ++doors;
                break;
            case Kind::signal:
                EXPECT_EQ(row.at("signal_code"), speech::value_text(u.value));
                break;
            case Kind::station:
                next_stations.push_back(u.text);
                break;
            case Kind::overspeed: case Kind::ats: case Kind::vigilance:
                ADD_FAILURE() << "a careful drive has no warnings";
                break;
            default: break;
        }
    }
    for (const auto& [mark, n] : marks) EXPECT_EQ(n, 1) << mark.second << " m";
    // Every mark the trace's remaining distance ran down past was said.
    size_t expected = 0;
    for (const int32_t m : speech::kCountdown) {
        long double target = -1;
        bool above = false;
        for (const auto& [t, row] : trace) {
            const long double r = std::stold(row.at("remaining")), at = r + std::stold(row.at("distance"));
            if (std::fabs(at - target) > 1) above = false;
            target = at;
            if (std::stold(row.at("distance")) <= 0 && r <= 0) continue;  // no stop point set yet
            if (r > m * 100) above = true;
            if (above && r <= m * 100 && r > 50) {
                ++expected;
                above = false;
            }
        }
    }
    EXPECT_EQ(marks.size(), expected);
    EXPECT_EQ(at_point, 0);  // the careful driver stands a metre or more short
    // Leaving each platform but the last names the next station, in order.
    const auto tables = load("train_721.dat", "line_rapid.dat");
    const auto& st = tables->route.stations;
    ASSERT_EQ(next_stations.size(), st.size() - 1);
    for (size_t i = 1; i < st.size(); ++i) EXPECT_EQ(next_stations[i - 1], speech::Texts(speech::Language::Japanese).station(st[i].name, st[i].type));
    // Every change of the doors in the trace was said.
    int changes = 0;
    for (auto it = std::next(trace.begin()); it != trace.end(); ++it)
        changes += it->second.at("doors_open") != std::prev(it)->second.at("doors_open");
    EXPECT_EQ(doors, changes);
}

TEST_F(Speech, RequestsAnswerFromTheRunOverspeedRepeatsAfterTenSecondsAndEnglishSaysTheSameNumbers) {
    const auto script = dir() / "requests.txt";
    std::string s = "1000 start\n1100 key 5\n";
    for (int i = 0; i < 13; ++i) s += std::to_string(1200 + i) + " vk shift+F12\n";
    s += "1500 key v\n1500 key h\n1500 key l\n1500 key g\n1500 key j\n1500 key t\n";
    test::write_bytes(script, s);
    sim::SimOptions o;
    o.script = script.string();
    o.seconds = 30;
    const auto ja = run(o, "train_721.dat", "line_rapid.dat");
    const auto trace = read_trace(dir() / "trace.csv");
    o.speech_english = true;
    const auto en = run(o, "train_721.dat", "line_rapid.dat");
    ASSERT_EQ(ja.size(), en.size());
    std::map<Kind, std::vector<const Utterance*>> by_kind;
    for (size_t i = 0; i < ja.size(); ++i) {
        EXPECT_EQ(ja[i].value, en[i].value) << speech::log_line(ja[i]) << speech::log_line(en[i]);
        EXPECT_NE(ja[i].text, en[i].text);
        by_kind[ja[i].kind].push_back(&ja[i]);
    }
    const auto& row = std::prev(trace.upper_bound(1500))->second;  // the run at the requests
    ASSERT_EQ(by_kind[Kind::speed].size(), 1u);
    EXPECT_NEAR(by_kind[Kind::speed][0]->value, std::stod(row.at("speed")) / 10000, 1.0);
    ASSERT_EQ(by_kind[Kind::handles].size(), 1u);
    EXPECT_EQ(by_kind[Kind::handles][0]->value, 0);  // released by "5"
    EXPECT_EQ(by_kind[Kind::limit].size(), 1u);
    EXPECT_EQ(by_kind[Kind::time].size(), 1u);
    EXPECT_EQ(by_kind[Kind::signal].front()->value, std::stod(row.at("signal_code")));
    // Before the first departure the distance is to the first stop beyond this platform.
    const auto tables = load("train_721.dat", "line_rapid.dat");
    long double stop_cm = 0;
    for (const Station& st : tables->route.stations)
        if (stop_cm == 0 && st.type == 0 && st.platform_start > std::stoi(row.at("frame"))) stop_cm = st.stop_distance;
    ASSERT_FALSE(by_kind[Kind::stop_distance].empty());
    EXPECT_NEAR(by_kind[Kind::stop_distance][0]->value, (stop_cm - std::stold(row.at("distance"))) / 100, 0.6);
    // 130 km/h, coasting over the limits: said at once, and anew when a lower limit begins.
    const auto& over = by_kind[Kind::overspeed];
    ASSERT_GE(over.size(), 2u);
    EXPECT_EQ(over[0]->ms, 1300);
    for (size_t i = 1; i < over.size(); ++i)
        if (over[i]->value == over[i - 1]->value) {
            EXPECT_GE(over[i]->ms - over[i - 1]->ms, 10000);
        }
    EXPECT_TRUE(by_kind[Kind::limit_ahead].size() >= 1u);
}

TEST_F(Speech, TheListeningDriverStopsWithinEveryPlatformOfEveryDemoLine) {
    std::string table = "stop errors in cm (+ past the point), careful | listening:\n";
    for (const auto& pair : demo::title_pairs()) {
        SCOPED_TRACE(pair.train + " on " + pair.route);
        const auto heard = driving::derive_drive_by_ear(dir(), pair.train, pair.route, frames(pair.route));
        ASSERT_EQ(heard.drive.error, "");
        const auto careful = driving::derive_drive(dir(), pair.train, pair.route, frames(pair.route));
        ASSERT_EQ(careful.error, "");
        table += "  " + pair.train + " " + pair.route + ":";
        for (const auto* drive : {&careful, &heard.drive}) {
            test::write_bytes(dir() / "drive.txt", drive->script);
            sim::SimOptions o;
            o.script = (dir() / "drive.txt").string();
            o.reports = {(dir() / "report.json").string()};
            o.seconds = static_cast<long double>(drive->end_ms + 2000) / 1000;
            const auto said = run(o, pair.train, pair.route);
            const std::string report = test::slurp(dir() / "report.json");
            EXPECT_NE(report.find("\"emergencies\": []"), std::string::npos) << report;
            EXPECT_NE(report.find("\"overspeed\": []"), std::string::npos) << report;
            for (size_t at = 0; (at = report.find("\"stop_error_cm\": ", at)) != std::string::npos;) {
                at += 17;
                table += " " + report.substr(at, report.find('}', at) - at);
            }
            table += drive == &careful ? " |" : "\n";
            if (drive == &careful) continue;
            // The replay says what the driver heard, and the doors opened at every stop
            // with the train standing inside the platform.
            std::string replayed;
            for (const Utterance& u : said) replayed += speech::log_line(u);
            EXPECT_EQ(replayed.substr(0, heard.speech_log.size()), heard.speech_log);
            const auto r = load(pair.train, pair.route);
            const auto& stations = r->route.stations;
            std::vector<bool> opened(stations.size(), false);
            for (const auto& [t, row] : read_trace(dir() / "trace.csv")) {
                const int frame = std::stoi(row.at("frame"));
                if (row.at("doors_open") == "1" && std::llabs(std::stoll(row.at("speed"))) < 5000)
                    for (size_t i = 0; i < stations.size(); ++i)
                        opened[i] = opened[i] || (frame >= stations[i].platform_start && frame <= stations[i].platform_end);
            }
            for (size_t i = 0; i < stations.size(); ++i) EXPECT_EQ(opened[i], stations[i].type == 0) << stations[i].name;
        }
    }
    std::printf("%s", table.c_str());
}
