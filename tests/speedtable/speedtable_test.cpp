// vantrel-speedtable: GPS logs read safely, and a table that gives a filming run's
// distance back through the route's own frame-to-distance rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

#include "speedtable/gps_track.hpp"
#include "speedtable/speed_table.hpp"
#include "speedtable/speedtable_run.hpp"
#include "speedtable/table_pipeline.hpp"
#include "speedtable/track_index.hpp"
#include "speedtable/track_smoother.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;
using namespace vantrel::speedtable;

constexpr double kLat0 = 35.0, kLon0 = 139.0, kRadius = 6371008.8, kDeg = 3.14159265358979323846 / 180;
constexpr double kLogStart = 1714557600;  // 2024-05-01T10:00:00Z

struct Phase {
    double seconds;
    double accel;  // m/s^2
};

// A filming run: speed by phases of constant acceleration, on a gently curving line.
struct Profile {
    Profile(double start_speed, std::vector<Phase> run) : v0(start_speed), phases(std::move(run)) { integrate(); }

    double v0;
    std::vector<Phase> phases;
    double dt = 0.01;
    std::vector<double> s, x, y;  // metres at each dt

    void integrate() {
        double v = v0, dist = 0, px = 0, py = 0;
        for (const Phase& p : phases)
            for (int i = 0; i < std::lround(p.seconds / dt); ++i) {
                s.push_back(dist);
                x.push_back(px);
                y.push_back(py);
                const double heading = 0.4 * std::sin(dist / 1500);
                v = std::max(0.0, v + p.accel * dt);
                dist += v * dt;
                px += v * dt * std::cos(heading);
                py += v * dt * std::sin(heading);
            }
    }
    [[nodiscard]] double seconds() const { return static_cast<double>(s.size() - 1) * dt; }
    [[nodiscard]] size_t at(double t) const { return std::min(s.size() - 1, static_cast<size_t>(std::lround(t / dt))); }
    [[nodiscard]] double lat(size_t i) const { return kLat0 + y[i] / kRadius / kDeg; }
    [[nodiscard]] double lon(size_t i) const { return kLon0 + x[i] / (kRadius * std::cos(kLat0 * kDeg)) / kDeg; }
};

// A sentence with its checksum.
std::string nmea(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char b[8];
    std::snprintf(b, sizeof b, "*%02X", sum);
    return "$" + body + b + "\r\n";
}

std::string iso(double t) {
    const auto s = static_cast<long long>(t) - 1714521600;  // 2024-05-01T00:00:00Z
    char b[40];
    std::snprintf(b, sizeof b, "2024-05-01T%02lld:%02lld:%02lldZ", s / 3600, s / 60 % 60, s % 60);
    return b;
}

// How a log departs from the run: noise, wild fixes (second, metres north), no fixes
// strictly between two seconds.
struct LogShape {
    double noise = 3;
    std::vector<std::pair<int, double>> wild;
    int gap_from = -1, gap_to = -1;
};

// One fix a second.
std::vector<TrackPoint> fixes_of(const Profile& p, const LogShape& shape) {
    std::mt19937 random(15);  // any seed passes; one keeps the test repeatable
    std::normal_distribution<double> noise(0, shape.noise);
    std::vector<TrackPoint> fixes;
    for (int t = 0; t <= static_cast<int>(p.seconds()); ++t) {
        if (t > shape.gap_from && t < shape.gap_to) continue;
        const size_t i = p.at(t);
        double wild = 0;
        for (const auto& [when, metres] : shape.wild)
            if (when == t) wild = metres;
        fixes.push_back({kLogStart + t, p.lat(i) + (noise(random) + wild) / kRadius / kDeg,
                         p.lon(i) + noise(random) / (kRadius * std::cos(kLat0 * kDeg)) / kDeg});
    }
    return fixes;
}

// The first moment the run is `metres` along.
size_t place(const Profile& p, double metres) {
    size_t i = 0;
    while (i + 1 < p.s.size() && p.s[i] < metres) ++i;
    return i;
}

std::string gpx_text(const Profile& p, const std::vector<TrackPoint>& fixes,
                     const std::vector<std::pair<std::string, double>>& waypoints) {
    std::string g = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\">\n";
    for (const auto& [name, metres] : waypoints) {
        const size_t i = place(p, metres);
        char b[160];
        std::snprintf(b, sizeof b, "<wpt lat=\"%.8f\" lon=\"%.8f\"><name>%s</name></wpt>\n", p.lat(i), p.lon(i), name.c_str());
        g += b;
    }
    g += "<trk><trkseg>\n";
    for (const TrackPoint& f : fixes) {
        char b[200];
        std::snprintf(b, sizeof b, "<trkpt lat=\"%.8f\" lon=\"%.8f\"><time>%s</time></trkpt>\n", f.lat, f.lon,
                      iso(f.time).c_str());
        g += b;
    }
    return g + "</trkseg></trk>\n</gpx>\n";
}

// Two wild fixes and nothing from 120 s to 160 s.
std::string gpx_of(const Profile& p, const std::vector<std::pair<std::string, double>>& waypoints) {
    return gpx_text(p, fixes_of(p, {3, {{50, 60}, {200, 60}}, 120, 160}), waypoints);
}

TEST(SpeedTable, ReproducesANoisyRunsDistanceAtEveryFrameAndItsWaypoints) {
    // 8 m/s up to 25, a slowing to 12 for a curve, up to 22, and a brake to 3 m/s.
    Profile p{8, {{30, 0.57}, {60, 0}, {18, -0.72}, {40, 0}, {20, 0.5}, {50, 0}, {27, -0.7}, {10, 0}}};
    const std::vector<std::pair<std::string, double>> waypoints{{"A駅", 900}, {"B信号", 3300}, {"C駅", 4300}};
    const auto log = parse_gpx(gpx_of(p, waypoints));
    ASSERT_TRUE(log.log) << log.error;
    // Frame 0 is 20 s into the log; 30 frames a second up to the log's last second.
    const double film_start = 20;
    const auto frames = static_cast<int32_t>((p.seconds() - film_start) * 30);
    const SmoothTrack track(log.log->points, SmoothOptions{});
    EXPECT_EQ(track.outliers(), 2);
    ASSERT_EQ(track.gaps().size(), 1u);
    std::vector<double> distance(static_cast<size_t>(frames));
    for (int32_t f = 0; f < frames; ++f)
        distance[static_cast<size_t>(f)] = track.distance_at(kLogStart + film_start + f / 30.0) - track.distance_at(kLogStart + film_start);
    const SpeedTable table = build_speed_table(distance, TableOptions{});
    ASSERT_FALSE(table.records.empty());
    EXPECT_LE(table.records.size(), kTableCapacity);
    EXPECT_EQ(table.records.front().start, 0);
    EXPECT_EQ(table.records.back().end, frames - 1);
    EXPECT_TRUE(table.standing.empty());
    for (size_t i = 1; i < table.records.size(); ++i) {
        EXPECT_EQ(table.records[i].start, table.records[i - 1].end);
        EXPECT_EQ(table.records[i].speed_start, table.records[i - 1].speed_end);
    }
    // Against the true distance: within 1 %, and within 4 m over the first 400 m, where 1 %
    // is less than the noise of the fixes that place frame 0.
    const double base = p.s[p.at(film_start)];
    for (int32_t f = 0; f < frames; ++f) {
        const double truth = p.s[p.at(film_start + f / 30.0)] - base;
        const double got = static_cast<double>(table_distance_cm(table, f)) / 100;
        ASSERT_LE(std::fabs(got - truth), std::max(4.0, truth * 0.01)) << "frame " << f << " truth " << truth;
        // And the table keeps the distance it was made from.
        const double made = distance[static_cast<size_t>(f)];
        ASSERT_LE(std::fabs(got - made), std::max(0.3, made * 0.01)) << "frame " << f;
    }
    for (const auto& [name, metres] : waypoints) {
        size_t i = 0;
        while (p.s[i] < metres) ++i;
        const double true_frame = (static_cast<double>(i) * p.dt - film_start) * 30;
        const auto passing = TrackIndex(track).passing(p.lat(i), p.lon(i));
        EXPECT_NEAR((passing.time - kLogStart - film_start) * 30, true_frame, 15) << name;
        EXPECT_LT(passing.miss_m, 3) << name;
    }
}

TEST(SpeedTable, AStandingStretchIsListedAndRunsAt1KmH) {
    // Brake to a stand at 40 s, stand 20 s, then away again.
    Profile p{10, {{40, -0.25}, {20, 0}, {30, 0.6}, {20, 0}}};
    const auto log = parse_gpx(gpx_of(p, {}));
    ASSERT_TRUE(log.log);
    const SmoothTrack track(log.log->points, SmoothOptions{});
    const auto frames = static_cast<int32_t>(p.seconds() * 30);
    std::vector<double> distance(static_cast<size_t>(frames));
    for (int32_t f = 0; f < frames; ++f) distance[static_cast<size_t>(f)] = track.distance_at(kLogStart + f / 30.0) - track.distance_at(kLogStart);
    const SpeedTable table = build_speed_table(distance, TableOptions{});
    ASSERT_EQ(table.standing.size(), 1u);
    // The train stands from 40 s to 60 s (1200 to 1800); within 5 s, as fixes with 3 m of
    // noise hide the first and last metres of a stop.
    EXPECT_NEAR(table.standing[0].from, 1200, 150);
    EXPECT_NEAR(table.standing[0].to, 1800, 150);
    bool found = false;
    for (const SpeedSegment& g : table.records)
        if (g.start == table.standing[0].from) {
            EXPECT_EQ(g.end, table.standing[0].to);
            EXPECT_EQ(g.speed_start, 1);
            EXPECT_EQ(g.speed_end, 1);
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST(GpsLog, ReadsWhatItCanAndRefusesWhatIsNotALog) {
    EXPECT_EQ(parse_iso_time("2024-05-01T10:00:00Z"), 1714557600.0);
    EXPECT_EQ(parse_iso_time("2024-05-01T19:00:00.5+09:00"), 1714557600.5);
    EXPECT_EQ(parse_iso_time("2024-05-01T10:00:00"), 1714557600.0);
    for (const char* bad : {"", "2024-05-01", "2024-13-01T10:00:00Z", "2024-05-01T10:00:00Q", "2024-05-01T10:0a:00Z",
                            "2024-05-01T10:00:00+9:00"})
        EXPECT_FALSE(parse_iso_time(bad)) << bad;

    // Points without a time, off the globe or with a bad number are skipped, not fatal.
    const auto gpx = parse_gpx(
        "<gpx><wpt lat=\"35\" lon=\"139\"><name>駅</name></wpt><trk><trkseg>"
        "<trkpt lat=\"35\" lon=\"139\"><time>2024-05-01T10:00:01Z</time></trkpt>"
        "<trkpt lat=\"35.0001\" lon=\"139\"><time>2024-05-01T10:00:00Z</time></trkpt>"
        "<trkpt lat=\"95\" lon=\"139\"><time>2024-05-01T10:00:02Z</time></trkpt>"
        "<trkpt lat=\"nan\" lon=\"139\"><time>2024-05-01T10:00:03Z</time></trkpt>"
        "<trkpt lat=\"35\" lon=\"139\"></trkpt>"
        "<trkpt lat=\"35\" lon=\"139\"><time>2024-05-01T10:00:00Z</time></trkpt>"
        "</trkseg></trk></gpx>");
    ASSERT_TRUE(gpx.log) << gpx.error;
    ASSERT_EQ(gpx.log->points.size(), 2u);
    EXPECT_LT(gpx.log->points[0].time, gpx.log->points[1].time);  // sorted
    EXPECT_EQ(gpx.log->skipped, 3);
    EXPECT_EQ(gpx.log->repeated, 1);
    ASSERT_EQ(gpx.log->waypoints.size(), 1u);
    EXPECT_EQ(gpx.log->waypoints[0].name, "駅");
    for (const char* bad : {"", "<gpx><trk>", "not xml at all", "<gpx><trkpt lat=\"1\" lon=\"2\"><time>x</time></trkpt></gpx>"})
        EXPECT_FALSE(parse_gpx(bad).log) << bad;
    std::string crowded = "<gpx>" + std::string("<trkpt lat='1' lon='2'><time>2024-05-01T10:00:00Z</time></trkpt>") +
                          "<trkpt lat='1' lon='2'><time>2024-05-01T10:00:01Z</time></trkpt>";
    for (size_t i = 0; i < kMaxWaypoints; ++i) crowded += "<wpt lat='1' lon='2'><name>w</name></wpt>";
    EXPECT_TRUE(parse_gpx(crowded + "</gpx>").log);
    EXPECT_EQ(parse_gpx(crowded + "<wpt lat='1' lon='2'><name>w</name></wpt></gpx>").error,
              "the log holds more than 50000 waypoints");

    // The markup a GPX writer may use, and markup no log can have.
    const std::string two = "<trkpt lat='35' lon='139'><time>2024-05-01T10:00:00Z</time></trkpt>\n"
                            "<trkpt lat=\"35\" lon=\"139\" ><time> 2024-05-01T10:00:01Z </time></trkpt>";
    const struct {
        std::string text;
        const char* waypoint;  // nullptr: refused
    } markup[] = {
        {"\xEF\xBB\xBF<?xml version='1.0'?><!DOCTYPE gpx><gpx><wpt lat='35' lon='139'><name>A&amp;B &#x99C5;&#39;</name></wpt>" +
             two + "</gpx>",
         "A&B 駅'"},
        {"<g:gpx xmlns:g='x'><g:wpt g:lat='35' g:lon='139'><g:name><![CDATA[<駅>]]></g:name></g:wpt><!-- <trkpt> -->"
         "<g:trkpt lat='1' lon='2'/>" + two + "</g:gpx>",
         "<駅>"},
        {"<gpx>" + two + "</trk></gpx>", nullptr},
        {"<gpx>" + two + "<!-- </gpx>", nullptr},
        {"<gpx>" + two + "</gpx><gpx/>", nullptr},
        {"<gpx>" + two + "<trkpt lat=35 lon=139/></gpx>", nullptr},
        {"<gpx>" + two, nullptr},
    };
    for (const auto& c : markup) {
        const LogResult r = parse_gpx(c.text);
        ASSERT_EQ(r.log.has_value(), c.waypoint != nullptr) << c.text << "\n" << r.error;
        if (!r.log) {
            EXPECT_EQ(r.error.rfind("not a GPX file (line ", 0), 0u) << r.error;
            continue;
        }
        EXPECT_EQ(r.log->points.size(), 2u) << c.text;
        ASSERT_EQ(r.log->waypoints.size(), 1u) << c.text;
        EXPECT_EQ(r.log->waypoints[0].name, c.waypoint);
    }

    // NMEA: RMC gives the date; what cannot be a fix is skipped.
    const auto log = parse_nmea(nmea("GPGGA,095959,3500.000,N,13900.000,E,1,08,0.9,10.0,M,,,,") +
                                nmea("GPRMC,100000,A,3500.000,N,13900.000,E,20.0,90.0,010524,,,A") +
                                nmea("GNGGA,100001,3500.000,S,13900.006,W,1,08,0.9,10.0,M,,,,") +
                                nmea("GPGGA,100002,3500.000,N,13900.012,E,0,00,,,M,,,,") +
                                "$GPRMC,100003,A,3500.000,N,13900.018,E,20.0,90.0,010524,,,A*00\r\n" +
                                nmea("GPRMC,100004,V,3500.000,N,13900.018,E,20.0,90.0,010524,,,A") +
                                nmea("GPRMC,100005,A,9900.000,N,13900.018,E,20.0,90.0,010524,,,A") +
                                "garbage\n$\n$GPRMC,1,A\n");
    ASSERT_TRUE(log.log) << log.error;
    ASSERT_EQ(log.log->points.size(), 2u);  // the GGA before any date, no fix, bad sum, void, off the globe: out
    EXPECT_EQ(log.log->points[0].time, 1714557600.0);
    EXPECT_NEAR(log.log->points[1].lat, -35.0, 1e-9);
    EXPECT_NEAR(log.log->points[1].lon, -139.0001, 1e-9);
}

std::string nmea_text(const std::vector<TrackPoint>& fixes) {
    std::string t;
    for (const TrackPoint& f : fixes) {
        const auto s = static_cast<long long>(f.time) - 1714521600;
        char b[160];
        std::snprintf(b, sizeof b, "GPRMC,%02lld%02lld%02lld,A,%02d%09.6f,N,%03d%09.6f,E,0.0,0.0,010524,,,A", s / 3600,
                      s / 60 % 60, s % 60, static_cast<int>(f.lat), (f.lat - static_cast<int>(f.lat)) * 60,
                      static_cast<int>(f.lon), (f.lon - static_cast<int>(f.lon)) * 60);
        t += nmea(b);
    }
    return t;
}

struct Outcome {
    int code = -1;
    std::string out, err;
};

// The log through the whole table pipeline, frame 0 at `film_from` seconds into the log.
Outcome tabulate(const std::string& text, double film_from, int32_t frames) {
    const LogResult log = text.front() == '$' ? parse_nmea(text) : parse_gpx(text);
    if (!log.log) return {-1, "", log.error};
    std::ostringstream out, err;
    const int code = write_speed_table(*log.log, {kLogStart + film_from, 30, frames}, {}, out, err);
    return {code, out.str(), err.str()};
}

// A waypoint's frame and metres from the tool's output.
std::pair<int, double> waypoint(const Outcome& o, const std::string& name) {
    const size_t at = o.out.find("\n" + name + ",");
    if (at == std::string::npos) return {-1, NAN};
    int frame = -1;
    double metres = NAN;
    std::sscanf(o.out.c_str() + at + name.size() + 2, "%d,%lf", &frame, &metres);
    return {frame, metres};
}

TEST(SpeedTablePipeline, WildFixesAreLeftOutFromTheFirstAndAWildLogRefused) {
    // 8 m/s up to 23, a long run, a slowing to 13: about 3.6 km.
    const Profile p{8, {{30, 0.5}, {120, 0}, {20, -0.5}, {10, 0}}};
    const auto frames = static_cast<int32_t>(p.seconds() * 30);
    for (int first = 0; first < 5; ++first)
        for (double off : {200.0, 1000.0}) {
            const Outcome o = tabulate(gpx_text(p, fixes_of(p, {3, {{first, off}}}), {{"end", 3400}}), 0, frames);
            ASSERT_EQ(o.code, kExitOk) << first << " " << off << o.err;
            const auto [frame, metres] = waypoint(o, "end");
            EXPECT_NEAR(metres, 3400, 34) << first << " " << off;
            EXPECT_NE(o.err.find("1 outliers"), std::string::npos) << o.err;
            // The table agrees with the fixes: the noise and the table's 0.3 % at most, where a
            // table led astray is hundreds of metres off.
            double median = 0, worst = 0;
            const size_t at = o.err.find("the table's distance is ");
            ASSERT_NE(at, std::string::npos) << o.err;
            ASSERT_EQ(std::sscanf(o.err.c_str() + at, "the table's distance is %lf m (median) and %lf", &median, &worst), 2);
            EXPECT_LT(median, 6) << o.err;
            EXPECT_LT(worst, 30) << o.err;
        }
    // A fix with its date 1024 weeks off (a receiver's week count rolled over) is not smoothed.
    std::string text = gpx_text(p, fixes_of(p, {}), {{"end", 3400}});
    text.insert(text.find("</trkseg>"), "<trkpt lat=\"35\" lon=\"139\"><time>2043-12-16T10:00:00Z</time></trkpt>");
    const Outcome rolled = tabulate(text, 0, frames);
    ASSERT_EQ(rolled.code, kExitOk) << rolled.err;
    EXPECT_NEAR(waypoint(rolled, "end").second, 3400, 34);
    EXPECT_NE(rolled.err.find("fixes around the film of"), std::string::npos) << rolled.err;
    // Too few fixes to judge one 800 km off: the speed it gives is refused.
    const Outcome jump = tabulate(
        "<gpx><trk><trkseg><trkpt lat='35' lon='139'><time>2024-05-01T10:00:00Z</time></trkpt>"
        "<trkpt lat='35' lon='130'><time>2024-05-01T10:00:01Z</time></trkpt>"
        "<trkpt lat='35' lon='139.0001'><time>2024-05-01T10:00:02Z</time></trkpt></trkseg></trk></gpx>",
        0, 60);
    EXPECT_EQ(jump.code, kExitFailed);
    EXPECT_NE(jump.err.find("no filming train is that fast"), std::string::npos) << jump.err;
    // One fix in eight hundreds of metres off: no table.
    std::vector<std::pair<int, double>> many;
    for (int t = 3; t < 180; t += 8) many.push_back({t, 300});
    const Outcome wild = tabulate(gpx_text(p, fixes_of(p, {3, many}), {}), 0, frames);
    EXPECT_EQ(wild.code, kExitFailed);
    EXPECT_NE(wild.err.find("too wild"), std::string::npos) << wild.err;
}

TEST(SpeedTablePipeline, PointsAreCountedOnceTheirRepeatsAreGone) {
    const auto point = [](const char* time, const char* lat) {
        return std::string("<trkpt lat=\"") + lat + "\" lon=\"139\"><time>2024-05-01T10:00:0" + time + "Z</time></trkpt>";
    };
    const std::string rmc0 = nmea("GPRMC,100000,A,3500.000,N,13900.000,E,20.0,90.0,010524,,,A");
    const std::string gga0 = nmea("GPGGA,100000,3500.000,N,13900.000,E,1,08,0.9,10.0,M,,,,");
    const std::string rmc1 = nmea("GPRMC,100001,A,3500.000,N,13900.010,E,20.0,90.0,010524,,,A");
    const std::string gga1 = nmea("GPGGA,100001,3500.000,N,13900.010,E,1,08,0.9,10.0,M,,,,");
    const struct {
        std::string text;
        size_t points;  // 0: refused
        int32_t skipped, repeated;
    } cases[] = {
        {"<gpx><trk><trkseg>" + point("0", "35") + point("0", "35.001") + "</trkseg></trk></gpx>", 0, 0, 0},
        {"<gpx><trk><trkseg>" + point("0", "35") + point("0", "35") + "</trkseg></trk></gpx>", 0, 0, 0},
        {"<gpx><trk><trkseg>" + point("0", "35") + point("1", "35") + point("1", "35.001") + "</trkseg></trk></gpx>", 2, 0, 1},
        {rmc0 + gga0 + rmc0, 0, 0, 0},
        {gga0 + rmc0 + gga0 + rmc1 + gga1, 2, 1, 0},  // the GGA before any date is unreadable
        {rmc0 + gga0 + rmc1 + gga1, 2, 0, 0},
    };
    for (const auto& c : cases) {
        const LogResult r = c.text.front() == '$' ? parse_nmea(c.text) : parse_gpx(c.text);
        ASSERT_EQ(r.log.has_value(), c.points > 0) << c.text << r.error;
        if (!r.log) {
            EXPECT_NE(r.error.find("fewer than two"), std::string::npos) << r.error;
            continue;
        }
        EXPECT_EQ(r.log->points.size(), c.points) << c.text;
        EXPECT_EQ(r.log->skipped, c.skipped) << c.text;
        EXPECT_EQ(r.log->repeated, c.repeated) << c.text;
    }
}

TEST(SpeedTablePipeline, AGapWithAStopInsideIsAsLongAsTheWayBetweenItsFixes) {
    // 10 m/s, a brake to a stand at 65 s, 40 s standing, away again; no fix from 50 s to 170 s.
    const Profile p{10, {{40, 0}, {25, -0.4}, {40, 0}, {25, 0.4}, {60, 0}}};
    const double after = p.s[p.at(185)];
    for (const bool nmea_log : {false, true}) {
        const auto fixes = fixes_of(p, {3, {}, 50, 170});
        const std::string text = nmea_log ? nmea_text(fixes) : gpx_text(p, fixes, {{"after", after}});
        const Outcome o = tabulate(text, 0, static_cast<int32_t>(p.seconds() * 30));
        ASSERT_EQ(o.code, kExitOk) << o.err;
        double metres = 0;
        const size_t at = o.err.find("(120.0 s, ");
        ASSERT_NE(at, std::string::npos) << o.err;
        ASSERT_EQ(std::sscanf(o.err.c_str() + at, "(120.0 s, %lf m)", &metres), 1);
        EXPECT_NEAR(metres, p.s[p.at(170)] - p.s[p.at(50)], 8) << o.err;
        if (!nmea_log) {
            EXPECT_NEAR(waypoint(o, "after").second, after, 10) << o.out;
        }
    }
}

TEST(SpeedTablePipeline, FilmAndLogThatDoNotMeetAreNamedWithTheirDates) {
    const Profile p{10, {{60, 0}}};
    const std::string text = gpx_text(p, fixes_of(p, {}), {});
    const struct {
        double film_from;
        const char* says;
    } cases[] = {
        {86400 + 10, "2024-05-02 10:00:10 to 2024-05-02 10:00:19 GPS time) and the log (2024-05-01 10:00:00 to "
                     "2024-05-01 10:00:59) do not meet: they are 1 day apart"},
        {-3 * 86400, "3 days apart"},
        {600, "2024-05-01 10:10:00 to 2024-05-01 10:10:09 GPS time) and the log (2024-05-01 10:00:00 to "
              "2024-05-01 10:00:59) do not meet\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = tabulate(text, c.film_from, 300);
        EXPECT_EQ(o.code, kExitFailed);
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
    }
}

TEST(SpeedTablePipeline, AWaypointWhereTheTrainStoodGetsTheStandsFirstFrame) {
    // Standing 30 s at 0 m, away, a stop of 30 s at about 1 km, away again; filming begins
    // 10 s into the first stand.
    const Profile p{0, {{30, 0}, {20, 0.5}, {40, 0}, {20, -0.5}, {30, 0}, {20, 0.5}, {20, 0}}};
    const double stop = p.s[p.at(115)];
    const Outcome o = tabulate(gpx_text(p, fixes_of(p, {}), {{"A", 0}, {"B", stop}}), 10,
                               static_cast<int32_t>((p.seconds() - 10) * 30));
    ASSERT_EQ(o.code, kExitOk) << o.err;
    std::vector<int> stands;
    for (size_t at = 0; (at = o.out.find("; standing ", at)) != std::string::npos; ++at)
        stands.push_back(std::atoi(o.out.c_str() + at + 11));
    ASSERT_EQ(stands.size(), 2u) << o.out;
    EXPECT_EQ(stands[0], 0);
    EXPECT_NEAR(stands[1], 100 * 30, 150);
    EXPECT_EQ(waypoint(o, "A").first, stands[0]) << o.out << o.err;
    EXPECT_EQ(waypoint(o, "B").first, stands[1]) << o.out;
}

TEST(SpeedTableTool, WritesTheRecordsAndWaypointsForARealFilm) {
    test::TempDir dir;
    Profile p{12, {{60, 0.1}}};
    test::write_bytes(dir / "run.gpx", gpx_of(p, {{"駅", 300}}));
    const std::string film = (dir / "film.avi").string();
    const std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=30 -t 40 -c:v mpeg4 " + film;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const char* args[] = {"vantrel-speedtable", "--gpx", nullptr, "--film", film.c_str(), "--mark",
                          "0=2024-05-01T10:00:10Z", "--mark", "600=2024-05-01T10:00:30Z"};
    const std::string gpx = (dir / "run.gpx").string();
    args[2] = gpx.c_str();
    const auto options = parse_arguments(9, args, std::cerr);
    ASSERT_TRUE(options);
    std::ostringstream out, err;
    ASSERT_EQ(run_speedtable(*options, out, err), kExitOk) << err.str();
    const std::string text = out.str();
    ASSERT_EQ(text.rfind("[SpeedUnit]\n0,", 0), 0u) << text;
    const size_t close = text.find("\n#\n");
    ASSERT_NE(close, std::string::npos);
    EXPECT_NE(text.find(",1199,"), std::string::npos) << text;  // the film's last frame
    // The station at 300 m, passed at 10:00:10 + (300 - 12 * 10) / ~13 s: about frame 410.
    int frame = 0;
    double metres = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + close + 3, "駅,%d,%lf", &frame, &metres), 2) << text;
    size_t i = 0;
    while (p.s[i] < 300) ++i;
    EXPECT_NEAR(frame, (static_cast<double>(i) * p.dt - 10) * 30, 15);
    EXPECT_NEAR(metres, 300 - p.s[p.at(10)], 3);

    // Marks 20 s apart for 600 frames on a 30-frame film, then 21 s: a misread mark.
    args[8] = "600=2024-05-01T10:00:31Z";
    std::ostringstream off;
    ASSERT_EQ(run_speedtable(*parse_arguments(9, args, std::cerr), out, off), kExitOk);
    EXPECT_NE(off.str().find("a mark is probably misread"), std::string::npos) << off.str();
    EXPECT_EQ(err.str().find("misread"), std::string::npos);

    const char* bad[] = {"vantrel-speedtable", "--gpx", gpx.c_str(), "--film", film.c_str(), "--mark", "0=2024-05-01T10:00:10Z"};
    EXPECT_FALSE(parse_arguments(7, bad, err));
    // Without a film: as many frames as the film reader takes, and no more.
    for (const auto& [frames, ok] : {std::pair{"10000000", true}, {"10000001", false}, {"1e9", false}}) {
        const char* given[] = {"vantrel-speedtable", "--gpx", "x.gpx", "--frames", frames, "--fps", "30", "--start",
                               "2024-05-01T10:00:00Z"};
        EXPECT_EQ(parse_arguments(9, given, err).has_value(), ok) << frames;
    }
}

}  // namespace
