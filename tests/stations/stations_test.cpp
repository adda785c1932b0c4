#include <gtest/gtest.h>

#include "app/run.hpp"
#include "route/stations.hpp"
#include "route/timetable_phrases.hpp"
#include "recording_sound.hpp"

namespace vantrel {
namespace {

constexpr int kDoorOpen = 10, kDoorClose = 11, kDepSign = 12, kStopBell = 13;
constexpr int kDriveSounds = 20;  // route sound i plays on channel 20 + i
constexpr int64_t kmh(long double v) { return static_cast<int64_t>(v * 10000); }

// A stop, a pass, a stop without door work and a last stop.
void set_up(Run& run, test::RecordingSound& sound) {
    run.attach(sound);
    run.drive_sound_count = kDriveSounds;
    run.train.sound_door_open = kDoorOpen;
    run.train.sound_door_close = kDoorClose;
    run.train.dep_sign = kDepSign;
    run.train.sound_stop = kStopBell;
    run.strings.stop = "停車";
    run.strings.pass = "通過";
    run.strings.stop2 = "運転停車";
    run.route.sign_images.resize(1);  // the train's stop marker
    run.route.stations = {
        {.name = "A", .type = 0, .platform_start = 100, .platform_end = 200, .dep_sound = 1,
         .dep_sound_time = 1000, .door_close_time = 1300, .stop_distance = 5000},
        {.name = "B", .type = 1, .platform_start = 400, .platform_end = 450},
        {.name = "C", .type = 2, .platform_start = 600, .platform_end = 700, .dep_sound = 2,
         .dep_sound_time = 5000, .door_close_time = 5300, .stop_distance = 30000},
        {.name = "D", .type = 0, .platform_start = 900, .platform_end = 1000,
         .dep_sound_time = 9000, .door_close_time = 9300, .stop_distance = 80000},
    };
    run.stations.flags.resize(run.route.stations.size());
    // Arriving with the doors closed.
    run.core.TractionCut = false;
    run.stations.door_command = false;
    run.view.Lamp_Door = true;
}

TEST(Stations, StopOpensTheDoorsAndClosesThemAtTheTimetableTimes) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    run.core.Frame = 150;
    run.core.ClockTicks = 900;

    stations_step(run);
    door_closing_completion(run);
    EXPECT_EQ(run.view.stop, 0);
    EXPECT_EQ(run.view.Label4, "A");
    EXPECT_TRUE(run.core.TractionCut);
    EXPECT_TRUE(run.stations.door_command);
    EXPECT_FALSE(run.view.Lamp_Door);
    EXPECT_EQ(sound.count("play 10"), 1);
    sound.finish(kDoorOpen);

    run.core.ClockTicks = 1000;  // not yet: strictly after the time
    stations_step(run);
    EXPECT_EQ(sound.count("play 21"), 0);
    run.core.ClockTicks = 1001;
    stations_step(run);
    EXPECT_EQ(sound.count("play 21"), 1);
    // The next stop of type 0 is D: B is passed, C is a stop without door work.
    EXPECT_EQ(run.stations.next_stop_distance, 80000);
    EXPECT_EQ(run.core.TargetDistance, 80000);

    // The departure sound still plays at the door-close time: the doors wait for it.
    run.core.ClockTicks = 1400;
    stations_step(run);
    EXPECT_EQ(sound.count("play 11"), 0);
    EXPECT_FALSE(run.stations.flags[0].doors_closed);
    sound.finish(21);
    stations_step(run);
    EXPECT_EQ(sound.count("play 11"), 1);
    EXPECT_TRUE(run.stations.flags[0].doors_closed);
    EXPECT_TRUE(run.commentary.first_power);
    EXPECT_EQ(sound.count("play 21"), 1);  // played once only

    // Closed only once the closing sound has ended.
    door_closing_completion(run);
    EXPECT_TRUE(run.core.TractionCut);
    sound.finish(kDoorClose);
    door_closing_completion(run);
    EXPECT_FALSE(run.core.TractionCut);
    EXPECT_TRUE(run.view.Lamp_Door);
    EXPECT_EQ(sound.count("play 12"), 1);
    door_closing_completion(run);
    EXPECT_EQ(sound.count("play 12"), 1);

    // Leaving the platform: the next station is announced and the marker goes.
    run.core.Frame = 300;
    stations_step(run);
    EXPECT_EQ(run.view.Label4, "B通過");
    EXPECT_EQ(run.view.stop, -1);
    EXPECT_FALSE(run.stations.flags[0].marker_shown);
    run.core.Frame = 500;
    stations_step(run);
    EXPECT_EQ(run.view.Label4, "C運転停車");
}

TEST(Stations, DoorsWhileMovingOnlyCommandTheClose) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    run.core.TractionCut = true;
    run.stations.door_command = true;
    run.view.Lamp_Door = false;
    run.core.Speed = kmh(5);

    Door_operate(run);
    EXPECT_FALSE(run.stations.door_command);
    EXPECT_TRUE(sound.calls.empty());
    door_closing_completion(run);
    EXPECT_FALSE(run.core.TractionCut);
    EXPECT_TRUE(run.view.Lamp_Door);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 12", "play 12"}));

    // 0.5 km/h rounds to 0 (ties to even): the doors open.
    run.core.Speed = kmh(0.5);
    Door_operate(run);
    EXPECT_TRUE(run.core.TractionCut);
    EXPECT_EQ(sound.count("play 10"), 1);
}

TEST(Stations, OneManDoorsWaitForTheKeyAndTypeTwoDepartsWithoutDoorWork) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    run.route.one_man = 1;
    run.core.Frame = 150;
    for (int k = 0; k < 3; ++k) stations_step(run);
    EXPECT_FALSE(run.core.TractionCut);
    EXPECT_TRUE(sound.calls.empty());
    Door_operate(run);  // the door key
    EXPECT_TRUE(run.core.TractionCut);

    // Station C (type 2): the departure sound plays with the doors closed.
    run.core.TractionCut = false;
    run.core.Frame = 650;
    run.core.ClockTicks = 5001;
    sound.calls.clear();
    stations_step(run);
    EXPECT_EQ(run.stations.current_station, 2);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 22", "play 22"}));
    EXPECT_FALSE(run.core.TractionCut);
    EXPECT_EQ(run.core.TargetDistance, 80000);
}

TEST(Stations, NoDoorsOutsideThePlatformOrAtAPassingStation) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    run.core.Frame = 99;  // short of the platform
    stations_step(run);
    EXPECT_EQ(run.view.stop, -1);
    EXPECT_FALSE(run.core.TractionCut);

    run.core.Frame = 150;
    run.core.Speed = kmh(20);
    stations_step(run);
    EXPECT_EQ(run.view.stop, 0);
    run.core.Frame = 201;  // overran, then stopped
    run.core.Speed = 0;
    stations_step(run);
    EXPECT_EQ(run.view.stop, -1);
    EXPECT_FALSE(run.core.TractionCut);
    EXPECT_TRUE(sound.calls.empty());

    run.core.Frame = 420;
    stations_step(run);
    EXPECT_EQ(run.view.stop, -1);
    EXPECT_FALSE(run.core.TractionCut);

    // Beyond the last station nothing is read out of the table.
    run.core.Frame = 2000;
    stations_step(run);
    EXPECT_EQ(run.view.stop, -1);

    // Without a stop-marker picture the platform is still entered, with nothing drawn.
    run.route.sign_images.clear();
    run.core.Frame = 950;
    stations_step(run);
    EXPECT_EQ(run.view.stop, -1);
    EXPECT_EQ(run.view.Label4, "D");
    EXPECT_TRUE(run.stations.flags[3].marker_shown);
}

TEST(Stations, StopAlertRingsAndBlinksUntilTheTrainStandsWithOpenDoors) {
    vantrel::Run run;
    test::RecordingSound sound;
    set_up(run, sound);
    run.route.stop_sounds = {1000};
    run.core.Speed = kmh(30);
    run.core.Frame = 1000;
    stop_alert_step(run);
    EXPECT_TRUE(sound.calls.empty());  // strictly after the frame
    run.core.Frame = 1001;
    run.window_ticks = 15;
    stop_alert_step(run);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"loop 13"}));  // played looping, no stop first
    EXPECT_FALSE(run.view.Lamp_stopalert);
    run.window_ticks = 20;
    stop_alert_step(run);
    EXPECT_EQ(sound.count("loop 13"), 1);
    EXPECT_TRUE(run.view.Lamp_stopalert);

    run.core.Speed = kmh(0.9);
    stop_alert_step(run);  // doors still closed
    EXPECT_EQ(sound.status(kStopBell), kStatusLooping);
    run.core.TractionCut = true;
    stop_alert_step(run);
    EXPECT_EQ(sound.status(kStopBell), kStatusStopped);
    EXPECT_FALSE(run.view.Lamp_stopalert);
}

TEST(Timetable, JudgementBands) {
    auto slots = [](int64_t d) {
        const TimetablePhrases p = timetable_phrases(d);
        return std::vector<int32_t>(p.slots.begin(), p.slots.begin() + p.count);
    };
    using V = std::vector<int32_t>;
    EXPECT_EQ(slots(0), V{17});
    EXPECT_EQ(slots(-449), V{17});
    EXPECT_EQ(slots(450), V{13});   // exactly 15 s: no amount
    EXPECT_EQ(slots(-450), V{15});
    EXPECT_EQ(slots(451), (V{6, 13}));
    EXPECT_EQ(slots(900), (V{6, 13}));
    EXPECT_EQ(slots(-901), (V{7, 15}));
    EXPECT_EQ(slots(3600), (V{12, 13}));
    EXPECT_EQ(slots(3601), V{});
}

TEST(Clock, TextRunsPastMidnightAndHandsFollowTheTime) {
    EXPECT_EQ(clock_text(25 * 108000), "25:00:00");
    EXPECT_EQ(clock_text(3 * 108000 + 5 * 1800 + 7 * 30 + 29), "03:05:07");

    vantrel::Run run;
    run.core.ClockTicks = 3 * 108000;
    run.window_ticks = 9;
    clock_step(run);
    EXPECT_EQ(run.view.Label3, "");
    run.window_ticks = 10;
    clock_step(run);
    EXPECT_EQ(run.view.Label3, "03:00:00");
    EXPECT_FALSE(run.view.clock_drawn);  // no [Clock] position: no hands

    run.train.panel.clock_x = 300;
    run.train.panel.clock_y = 300;
    run.train.panel.clock_length = 20;
    timecalc(run, 3 * 108000 + 15 * 1800);  // 3:15:00
    EXPECT_TRUE(run.view.clock_drawn);
    // Hour hand: length 12 at 97.5 degrees; minute hand at 90 degrees.
    EXPECT_EQ(run.view.hour_x, 37);
    EXPECT_EQ(run.view.hour_y, 27);
    EXPECT_EQ(run.view.minute_x, 45);
    EXPECT_EQ(run.view.minute_y, 25);
    EXPECT_EQ(run.view.second_x, 25);
    EXPECT_EQ(run.view.second_y, 5);
}

}  // namespace
}  // namespace vantrel
