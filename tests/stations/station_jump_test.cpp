#include <gtest/gtest.h>

#include "app/run.hpp"
#include "route/stations.hpp"
#include "recording_sound.hpp"

namespace vantrel {
namespace {

void set_up(Run& run, test::RecordingSound& sound) {
    run.attach(sound);
    run.drive_sound_count = 5;
    run.route.sound_data = {"a.wav", "b.wav", "c.wav"};
    run.route.start_time = 1200;
    run.route.start_pos = 51;
    run.route.pre_time = 10;
    run.route.frame_rate = 15;
    run.route.stations = {
        {.name = "A", .type = 0, .platform_start = 100, .platform_end = 200, .stop_distance = 1000},
        {.name = "B", .type = 1, .platform_start = 300, .platform_end = 350},
        {.name = "C", .type = 0, .platform_start = 500, .platform_end = 600, .stop_distance = 20000},
        {.name = "D", .type = 2, .platform_start = 801, .platform_end = 900, .dep_sound_time = 3150,
         .stop_distance = 45678.5L},
        {.name = "E", .type = 0, .platform_start = 1000, .platform_end = 1100},
    };
    run.stations.flags.assign(5, StationFlags{true, true, true});
    run.route_sounds.trigger_played.assign(4, true);
    run.route_sounds.announce_pointer = 9;
    run.core.Speed = 700000;
    run.core.Frame = 1234;
    run.core.TractionCut = true;
    run.core.TargetDistance = 99999;
    run.core.RemainingDistance = 5;
    run.core.Distance = 12;
    run.core.DistanceStep = 3;
    run.view.Lamp_Door = false;
    run.video.segment = 4;
}

TEST(StationJump, SetsTheTrainDownAtTheStation) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    StationClick(run, 3);

    EXPECT_EQ(run.core.Speed, 0);
    for (const StationFlags& f : run.stations.flags) {
        EXPECT_FALSE(f.marker_shown || f.dep_sound_played || f.doors_closed);
    }
    // Sound triggers fire once per run: a jump does not re-arm them.
    EXPECT_EQ(run.route_sounds.trigger_played, std::vector<bool>(4, true));
    // Channels 1 .. 8 (5 train sounds + 3 route sounds); channel 0 is left alone.
    std::vector<std::string> stops;
    for (int ch = 1; ch <= 8; ++ch) stops.push_back("stop " + std::to_string(ch));
    EXPECT_EQ(sound.calls, stops);
    EXPECT_FALSE(run.core.TractionCut);
    EXPECT_TRUE(run.view.Lamp_Door);
    EXPECT_EQ(run.core.Frame, 850);  // 850.5 rounds to even
    EXPECT_EQ(run.view.Label4, "D");
    EXPECT_EQ(run.core.ClockTicks, 3000);
    // (3000 - 1200) / (30 div 15) + 51 + 30 x 10
    EXPECT_EQ(run.video.PrecedingFrame, 1251);
    EXPECT_EQ(run.stations.current_station, 3);
    // Only the remaining distance is zeroed; the next stop point stays until a departure.
    EXPECT_EQ(run.core.TargetDistance, 99999);
    EXPECT_EQ(run.core.RemainingDistance, 0);
    EXPECT_EQ(run.route_sounds.announce_pointer, 4);  // A and C stop before D
    EXPECT_EQ(run.core.Distance, 45678.5L);
    EXPECT_EQ(run.core.DistanceStep, 0);
    EXPECT_EQ(run.video.segment, -1);
}

TEST(StationJump, GuardsTheFrameRateAndIgnoresUnknownStations) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    StationClick(run, 5);
    StationClick(run, -1);
    EXPECT_EQ(run.core.Frame, 1234);
    EXPECT_TRUE(sound.calls.empty());

    for (const int32_t rate : {0, 31, -3}) {
        run.route.frame_rate = rate;
        StationClick(run, 3);
        EXPECT_EQ(run.video.PrecedingFrame, 1800 + 351) << rate;  // one tick per frame
    }
    // Only the quotient is rounded: (1201 - 1200) / 2 = 0.5 gives 0, then + 351.
    run.route.stations[3].dep_sound_time = 1351;
    run.route.frame_rate = 15;
    StationClick(run, 3);
    EXPECT_EQ(run.video.PrecedingFrame, 351);
    StationClick(run, 0);
    EXPECT_EQ(run.route_sounds.announce_pointer, 0);
}

}  // namespace
}  // namespace vantrel
