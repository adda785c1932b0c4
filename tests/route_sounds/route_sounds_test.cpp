#include <gtest/gtest.h>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "recording_sound.hpp"
#include "route/route_sounds.hpp"

using namespace vantrel;
using vantrel::test::RecordingSound;
using Calls = std::vector<std::string>;

namespace {

// Ten train sounds: route sound i is channel 10 + i.
struct RouteSoundsTest : ::testing::Test {
    vantrel::Run run;
    RecordingSound snd;
    void SetUp() override {
        run.attach(snd);
        run.drive_sound_count = 10;
    }
    void at(int32_t frame, int32_t kmh) {
        run.core.Frame = frame;
        run.core.Speed = kmh * kFixedOne;
    }
};

}  // namespace

TEST_F(RouteSoundsTest, OnceTriggerFiresOnceAndFollowsTheSpeed) {
    run.route.sounds = {{.sound = 2, .start = 100, .end = 200, .ref_speed = 40, .mode = 0}};
    at(96, 60);  // 4 frames before the start
    sound_triggers_step(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 12", "play 12"}));

    snd.clear();
    at(104, 60);  // still within 5 frames, and inside the stretch
    sound_triggers_step(run);
    // 60 / 40 = 1.5; log10(1.5) x 2000 = 352.18: above the wave's own level.
    EXPECT_EQ(snd.calls, (Calls{"freq 12 1.5000", "vol 12 352"}));

    snd.clear();
    at(150, 0);
    sound_triggers_step(run);
    EXPECT_EQ(snd.calls, (Calls{"freq 12 0.0000", "vol 12 -10000"}));

    snd.clear();
    at(100, 20);  // back on the start point: never again
    sound_triggers_step(run);
    EXPECT_EQ(snd.calls, (Calls{}));
}

TEST_F(RouteSoundsTest, LoopingTriggersStopAtTheirEndAndFixedPitchStaysAtOne) {
    run.route.sounds = {{.sound = 0, .start = 100, .end = 200, .ref_speed = 50, .mode = 2},
                        {.sound = 1, .start = 100, .end = 5000, .ref_speed = 50, .mode = 1}};
    at(95, 25);  // exactly 5 frames off: not yet
    sound_triggers_step(run);
    EXPECT_EQ(snd.calls, (Calls{}));

    at(101, 25);
    sound_triggers_step(run);
    // 25 / 50 = 0.5: log10(0.5) x 2000 = -602.06.
    EXPECT_EQ(snd.calls, (Calls{"stop 10", "loop 10", "freq 10 1.0000", "vol 10 -602", "stop 11", "loop 11",
                                "freq 11 0.5000", "vol 11 -602"}));
    snd.clear();
    at(197, 25);
    sound_triggers_step(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 10", "freq 10 1.0000", "vol 10 -602", "freq 11 0.5000", "vol 11 -602"}));
    EXPECT_EQ(snd.status(11), kStatusLooping);  // its end lies ahead: it keeps sounding
}

TEST_F(RouteSoundsTest, TriggerWithoutReferenceSpeedDoesNotDivideByZero) {
    run.route.sounds = {{.sound = 0, .start = 100, .end = 200, .ref_speed = 0, .mode = 1}};
    at(150, 30);
    sound_triggers_step(run);
    EXPECT_EQ(snd.calls, (Calls{"vol 10 0"}));
}

TEST_F(RouteSoundsTest, DopplerShiftsPitchAndLevelAndRestartsOnItsEndFrame) {
    run.route.dopplers = {{.sound = 3, .start = 100, .centre = 200, .end = 300}};
    at(150, 100);
    doppler_step(run);
    // Approaching: 1220 / 1120 = 1.0893; -(200 - 150) / 100 x 1000 = -500.
    EXPECT_EQ(snd.calls, (Calls{"freq 13 1.0893", "vol 13 -500", "stop 13", "loop 13"}));

    snd.clear();
    at(275, 100);
    doppler_step(run);
    // Receding: 1220 / 1320 = 0.9242; -(275 - 200) / 100 x 1000 = -750. Still looping.
    EXPECT_EQ(snd.calls, (Calls{"freq 13 0.9242", "vol 13 -750"}));

    snd.clear();
    at(300, 0);  // standing on the end frame: stopped, then started again
    doppler_step(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 13", "stop 13", "loop 13"}));

    snd.clear();
    at(309, 0);
    doppler_step(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 13"}));
    snd.clear();
    at(310, 0);
    doppler_step(run);
    EXPECT_EQ(snd.calls, (Calls{}));
}

TEST_F(RouteSoundsTest, AutomaticAnnouncementsPlayWhenSilentNearTheirPoint) {
    run.route.announcements = {{.sound = 4, .frame = 500}};
    at(495, 0);
    announcements_step(run);
    EXPECT_EQ(snd.calls, (Calls{}));
    at(496, 0);
    announcements_step(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 14", "play 14"}));
    snd.clear();
    announcements_step(run);  // still playing
    EXPECT_EQ(snd.calls, (Calls{}));
    snd.set_status(14, kStatusStopped);  // ended while the train stands there: again
    announcements_step(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 14", "play 14"}));

    snd.clear();
    run.route.one_man = 1;
    snd.set_status(14, kStatusStopped);
    announcements_step(run);
    EXPECT_EQ(snd.calls, (Calls{}));
}

// A route sound whose channel lies beyond the mixer's plays nowhere: its channel is
// bounded before any sound call, and the sum of the two counts never wraps.
TEST_F(RouteSoundsTest, SoundsBeyondTheMixersChannelsPlayNowhere) {
    EXPECT_EQ(route_sound_channel(run, 245), 255);
    EXPECT_EQ(route_sound_channel(run, 246), -1);
    EXPECT_EQ(route_sound_channel(run, 2147483647), -1);
    EXPECT_EQ(route_sound_channel(run, -11), -1);
    run.route.announcements = {{.sound = 499, .frame = 500}};
    run.route.dopplers = {{.sound = 300, .start = 400, .centre = 500, .end = 600}};
    run.route.sounds = {{.sound = 2147483647, .start = 500, .end = 600, .ref_speed = 60, .mode = 1}};
    at(500, 30);
    announcements_step(run);
    doppler_step(run);
    sound_triggers_step(run);
    run.route.one_man = 1;
    announce_next(run);
    announce_back(run);
    EXPECT_EQ(snd.calls, (Calls{}));
}

TEST_F(RouteSoundsTest, OneManAnnouncementsStepForwardAndBack) {
    run.route.one_man = 1;
    run.route.announcements = {{.sound = 0, .frame = 0}, {.sound = 1, .frame = 0}};
    announce_back(run);  // nothing behind the start
    EXPECT_EQ(run.route_sounds.announce_pointer, 0);
    announce_next(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 10", "play 10"}));
    EXPECT_EQ(run.route_sounds.announce_pointer, 1);

    snd.clear();
    snd.set_status(11, kStatusPlaying);  // the next one is busy: refused
    announce_next(run);
    EXPECT_EQ(snd.calls, (Calls{}));
    snd.set_status(11, kStatusStopped);
    announce_next(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 10", "stop 11", "play 11"}));
    EXPECT_EQ(run.route_sounds.announce_pointer, 2);

    snd.clear();
    announce_next(run);  // past the last record
    EXPECT_EQ(snd.calls, (Calls{}));
    announce_back(run);
    EXPECT_EQ(snd.calls, (Calls{"stop 11"}));
    EXPECT_EQ(run.route_sounds.announce_pointer, 1);
}

TEST_F(RouteSoundsTest, TunnelsShowTheSecondPanelStrictlyInside) {
    run.route.tunnels = {{.start = 100, .end = 200}, {.start = 400, .end = 500}};
    for (auto [frame, inside] : {std::pair{100, false}, {101, true}, {199, true}, {200, false}, {450, true}}) {
        at(frame, 0);
        tunnels_step(run);
        EXPECT_EQ(run.view.Panel2, inside) << frame;
    }
}
