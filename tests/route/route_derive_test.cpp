#include <gtest/gtest.h>

#include "dynamics/video_position.hpp"
#include "route/route_derive.hpp"

using namespace vantrel;

namespace {

// Segments 0..1000 at 60 km/h, then 1000..2000 accelerating from 60 to 90 km/h.
RouteTables two_segments() {
    RouteTables r;
    r.speed_units = {{0, 1000, 60, 60, 55556}, {1000, 2000, 60, 90, 125000}};
    return r;
}

Station station(const char* name, int32_t type, int32_t from, int32_t to) {
    Station s;
    s.name = name;
    s.type = type;
    s.platform_start = from;
    s.platform_end = to;
    return s;
}

}  // namespace

TEST(RouteDerive, FrameToDistanceFollowsTheTrapezoidOfFilmedSpeeds) {
    const RouteTables r = two_segments();
    EXPECT_EQ(segment_length(r.speed_units[0]), 55556);  // 120 x 1000 / 2.16 = 55555.6
    EXPECT_EQ(segment_length(r.speed_units[1]), 69444);  // 150 x 1000 / 2.16 = 69444.4
    EXPECT_EQ(frame_distance(r, 0), 0);
    // (60 + 60) / 7.2 m/s for 300 / 30 s = 166.67 m.
    EXPECT_EQ(frame_distance(r, 300), 16667);
    // Frame 1500: v = 75, (60 + 75) / 7.2 x 500 / 30 x 100 = 31250 cm after 55556.
    EXPECT_EQ(frame_distance(r, 1500), 86806);
    // A boundary belongs to the earlier segment: 55555.6 rounds to 55556 as well.
    EXPECT_EQ(frame_distance(r, 1000), 55556);
    EXPECT_EQ(frame_distance(r, 2000), 125000);
    EXPECT_EQ(frame_distance(r, 2500), 125000);  // beyond the table: its end
    EXPECT_EQ(frame_distance(r, -10), 0);
    EXPECT_EQ(frame_distance(r, 120.5L), 6694);  // a half frame: 16.6667 x 120.5 / 30 x 100
}

TEST(RouteDerive, MarksSignalsInsideSegmentsThenEveryLimitInItsClosedSegments) {
    RouteTables r = two_segments();
    r.signals.resize(3);
    r.signals[0].signal_frame = 1500;
    r.signals[1].signal_frame = 1000;  // on the boundary: no mark
    r.signals[2].signal_frame = 590;
    r.speed_limits = {{60, 1, 0, 1000, 1200}, {45, 2, 0, 300, 400}};
    std::string section;
    ASSERT_TRUE(derive_route(r, section));
    ASSERT_EQ(r.marks.size(), 5u);
    // Segment by segment, so signal 2 of segment 0 comes before signal 0 of segment 1.
    EXPECT_EQ(r.marks[0].signal, 2);
    EXPECT_EQ(r.marks[0].distance, 32778);
    EXPECT_EQ(r.marks[1].signal, 0);
    EXPECT_EQ(r.marks[1].distance, 86806);
    EXPECT_EQ(r.marks[1].limit, 0);
    // Then the limits: segment 0 holds both signs, segment 1 the boundary sign again.
    EXPECT_EQ(r.marks[2].limit, 60);
    EXPECT_EQ(r.marks[3].limit, 45);
    EXPECT_EQ(r.marks[3].distance, 16667);
    EXPECT_EQ(r.marks[4].limit, 60);
    EXPECT_EQ(r.marks[4].distance, 55556);
    EXPECT_EQ(r.marks[4].signal, 0);
    EXPECT_EQ(r.speed_limits[1].distance, 16667);
}

TEST(RouteDerive, RefusesMoreMarksThanTheTableHolds) {
    RouteTables r = two_segments();
    r.signals.resize(500);
    for (Signal& s : r.signals) s.signal_frame = 10;
    std::string section;
    EXPECT_TRUE(derive_route(r, section));
    r.speed_limits.push_back({60, 1, 0, 10, 20});
    EXPECT_FALSE(derive_route(r, section));
    EXPECT_EQ(section, "[SpeedLimit]");
}

TEST(RouteDerive, StopPointsAndMoveMenuSkipPassingAndLastStations) {
    RouteTables r = two_segments();
    r.stations = {station("渋谷", 0, 100, 140), station("代官山", 1, 600, 640), station("中目黒", 2, 990, 1011),
                  station("祐天寺", 0, 1400, 1600), station("学芸大学", 0, 1900, 1950)};
    std::string section;
    ASSERT_TRUE(derive_route(r, section));
    EXPECT_TRUE(r.stations[0].has_stop_distance);
    EXPECT_EQ(r.stations[0].stop_distance, 6667);  // frame 120
    EXPECT_FALSE(r.stations[1].has_stop_distance);
    // Stop point 1000.5 lies in (1000, 2000]: 55556 + (60 + 60.015) / 7.2 x 0.5 / 30 x 100.
    EXPECT_EQ(r.stations[2].stop_distance, 55584);
    EXPECT_EQ(r.stations[3].stop_distance, 86806);
    ASSERT_EQ(r.move_menu.size(), 3u);
    EXPECT_EQ(r.move_menu[0].name, "Sta0");
    EXPECT_EQ(r.move_menu[1].station, 2);
    EXPECT_EQ(r.move_menu[1].caption, "中目黒");
    EXPECT_EQ(r.move_menu[1].name, "Sta2");
    EXPECT_EQ(r.move_menu[2].name, "Sta3");  // 学芸大学 is the last: no entry
}

TEST(RouteDerive, StopPointOnAHalfCentimetreRoundsToEven) {
    // 27 km/h over 0..25; platform 0..25 stops at frame 12.5:
    // (27 + 27) / 7.2 x 12.5 / 30 x 100 = 312.5 cm -> 312. A limit at frame 25 ends the segment:
    // (27 + 27) / 7.2 x 25 / 30 x 100 = 625.
    RouteTables r;
    r.speed_units = {{0, 25, 27, 27, 625}};
    r.stations = {station("A", 0, 0, 25), station("B", 0, 30, 40)};
    r.speed_limits = {{40, 1, 0, 25, 30}};
    std::string section;
    ASSERT_TRUE(derive_route(r, section));
    EXPECT_EQ(r.stations[0].stop_distance, 312);
    EXPECT_FALSE(r.stations[1].has_stop_distance);  // 35 lies beyond every segment
    EXPECT_EQ(r.speed_limits[0].distance, 625);
}
