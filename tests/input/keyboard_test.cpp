#include <gtest/gtest.h>


#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/motion.hpp"
#include "input/keyboard.hpp"
#include "input/keyboard_fixture.hpp"

using namespace vantrel;
using vantrel::test::RecordingSound;
using Calls = std::vector<std::string>;

namespace {

struct KeyboardTest : vantrel::test::KeyboardFixture {
    void SetUp() override {
        KeyboardFixture::SetUp();
        TrainParams& t = run.train;
        t.sound_horn = 4;
        t.sound_horn2 = 5;
        t.buzzer = {6, 7};
        run.drive_sound_count = 20;
    }
};

}  // namespace

TEST_F(KeyboardTest, CharactersWaitForTheFirstStartButTheVirtualKeysDoNot) {
    run.waiting_for_start = true;
    run.core.Reverser = 1;
    type("3b0");
    EXPECT_EQ(snd.calls, (Calls{}));
    EXPECT_EQ(run.core.Reverser, 1);
    EXPECT_EQ(run.core.BrakeHandle, 0);
    keydowns(run, VirtualKey::F5, false);
    EXPECT_TRUE(run.view.value_display_visible);

    run.waiting_for_start = false;
    type("36");
    EXPECT_EQ(snd.calls, (Calls{"stop 4", "play 4", "stop 5", "play 5"}));
}

TEST_F(KeyboardTest, ReverserKeysActOnlyAtOneKilometrePerHourOrLess) {
    run.core.Speed = -kFixedOne;  // 1 km/h backwards still counts as standing
    type("b");
    EXPECT_EQ(run.core.Reverser, -1);
    EXPECT_FALSE(run.view.Lamp_Fwd);
    EXPECT_TRUE(run.view.Lamp_Bck);
    type("n");
    EXPECT_EQ(run.core.Reverser, 0);
    EXPECT_FALSE(run.view.Lamp_Fwd || run.view.Lamp_Bck);
    run.core.Speed = kFixedOne + 1;
    type("f");
    EXPECT_EQ(run.core.Reverser, 0);
    run.core.Speed = 0;
    type("f");
    EXPECT_EQ(run.core.Reverser, 1);
    EXPECT_TRUE(run.view.Lamp_Fwd);
    EXPECT_FALSE(run.view.Lamp_Bck);
}

TEST_F(KeyboardTest, ReleaseAllSoundsOnlyFromAnAppliedBrakeWithPressure) {
    CoreState& k = run.core;
    k.BrakeHandle = -3;
    k.PowerHandle = 2;
    k.HoldPosition = true;
    type("5");  // brake type 0 without cylinder pressure: silent
    EXPECT_EQ(snd.calls, (Calls{}));
    EXPECT_EQ(k.BrakeHandle, 0);
    EXPECT_EQ(k.PowerHandle, 0);
    EXPECT_FALSE(k.HoldPosition);

    k.BrakeHandle = -3;
    k.BcPressure = 1;
    type("5");
    EXPECT_EQ(snd.calls, (Calls{"stop 2", "play 2"}));
    snd.clear();
    k.BrakeHandle = -3;
    type("5");  // still playing: not restarted
    EXPECT_EQ(snd.calls, (Calls{}));

    snd.set_status(2, kStatusStopped);
    run.train.brake_type = 1;
    k.BcPressure = 0;
    k.BrakeHandle = -1;
    type("5");  // other brake types sound without the pressure test
    EXPECT_EQ(snd.calls, (Calls{"stop 2", "play 2"}));
    snd.clear();
    snd.set_status(2, kStatusStopped);
    type("5");  // already released
    EXPECT_EQ(snd.calls, (Calls{}));
}

TEST_F(KeyboardTest, EmergencyKeyAlwaysMovesButSoundsOnlyOnAChangeWithoutLatch) {
    CoreState& k = run.core;
    k.BrakeHandle = -2;
    k.PowerHandle = 3;
    type("0");
    EXPECT_EQ(snd.calls, (Calls{"stop 3", "play 3"}));
    EXPECT_EQ(k.BrakeHandle, -8);
    EXPECT_EQ(k.PowerHandle, 0);
    snd.clear();
    type("0");  // already in emergency
    EXPECT_EQ(snd.calls, (Calls{}));
    k.BrakeHandle = 0;
    k.PowerHandle = 1;
    k.AtsEmergency = true;
    type("0");  // latched: silent, but the handle still goes
    EXPECT_EQ(snd.calls, (Calls{}));
    EXPECT_EQ(k.BrakeHandle, -8);
    EXPECT_EQ(k.PowerHandle, 0);
}

TEST_F(KeyboardTest, HornsBuzzersAndOneManAnnouncements) {
    run.route.announcements = {{.sound = 0, .frame = 0}, {.sound = 1, .frame = 0}};
    type("41-");
    EXPECT_EQ(snd.calls, (Calls{"stop 6", "play 6", "stop 7", "play 7"}));
    EXPECT_EQ(run.route_sounds.announce_pointer, 0);

    snd.clear();
    run.route.one_man = 1;
    type("1");  // second buzzer and the next announcement (route sound 0 on channel 20)
    EXPECT_EQ(snd.calls, (Calls{"stop 7", "play 7", "stop 20", "play 20"}));
    EXPECT_EQ(run.route_sounds.announce_pointer, 1);
    snd.clear();
    type("-");
    EXPECT_EQ(snd.calls, (Calls{"stop 20"}));
    EXPECT_EQ(run.route_sounds.announce_pointer, 0);
}

TEST_F(KeyboardTest, ManualGearboxKeysAndTheResetToConverter) {
    run.train.engine_type = 0;
    run.train.gear_manual = 1;
    run.train.gears.resize(3);
    type("s");
    EXPECT_EQ(run.traction.target_gear, 1);
    EXPECT_TRUE(run.traction.gear_changing);
    EXPECT_EQ(run.view.GearLabel, "直1");
    type("ss");  // the last gear is gear count - 1
    EXPECT_EQ(run.traction.target_gear, 2);
    EXPECT_EQ(run.view.GearLabel, "直2");
    run.core.PowerNotch = 1;
    type("x");  // not under power
    EXPECT_EQ(run.traction.target_gear, 2);
    run.core.PowerNotch = 0;
    type("x");
    EXPECT_EQ(run.traction.target_gear, 1);

    run.core.BrakeHandle = -8;
    run.core.Speed = 6000;  // 0.6 km/h rounds to 1: no reset
    type("r");
    EXPECT_EQ(run.traction.target_gear, 1);
    run.core.Speed = 4000;
    type("r");
    EXPECT_EQ(run.traction.target_gear, 0);
    EXPECT_EQ(run.view.GearLabel, "変");

    run.train.gear_manual = 0;  // automatic gearbox: the keys do nothing
    type("s");
    EXPECT_EQ(run.traction.target_gear, 0);
}

TEST_F(KeyboardTest, ShiftTestKeysMoveSpeedClockAndFrame) {
    CoreState& k = run.core;
    k.Speed = 10 * kFixedOne;
    keydowns(run, VirtualKey::F11, true);  // not above 10 km/h
    EXPECT_EQ(k.Speed, 10 * kFixedOne);
    k.Speed = 10 * kFixedOne + 1;
    keydowns(run, VirtualKey::F11, true);
    EXPECT_EQ(k.Speed, 1);
    k.Speed = 1000 * kFixedOne - 1;
    keydowns(run, VirtualKey::F12, true);
    EXPECT_EQ(k.Speed, 1010 * kFixedOne - 1);
    keydowns(run, VirtualKey::F12, true);
    EXPECT_EQ(k.Speed, 1010 * kFixedOne - 1);
    keydowns(run, VirtualKey::F12, false);  // without Shift: nothing
    EXPECT_EQ(k.Speed, 1010 * kFixedOne - 1);

    keydowns(run, VirtualKey::F10, true);
    keydowns(run, VirtualKey::F10, true);
    keydowns(run, VirtualKey::F9, true);
    EXPECT_EQ(k.ClockTicks, 900);
    keydowns(run, VirtualKey::F8, true);
    keydowns(run, VirtualKey::F7, true);
    keydowns(run, VirtualKey::F6, true);
    EXPECT_EQ(k.Frame, 100);
    keydowns(run, VirtualKey::F1, true);
    EXPECT_TRUE(k.FollowVideo);
    keydowns(run, VirtualKey::F2, true);
    EXPECT_FALSE(k.FollowVideo);

    keydowns(run, VirtualKey::F5, true);  // Shift+F5 also shows the value display
    EXPECT_EQ(k.Frame, 0);
    EXPECT_TRUE(run.view.value_display_visible);
    keydowns(run, VirtualKey::F5, false);
    EXPECT_FALSE(run.view.value_display_visible);
}

// Test keys held for hours, and the clock running on from there, stop at the ends of
// the 32-bit range instead of wrapping.
TEST_F(KeyboardTest, TestKeysAndTheClockStopAtTheEndsOfTheirRange) {
    CoreState& k = run.core;
    k.Frame = 2147483000;
    keydowns(run, VirtualKey::F8, true);
    EXPECT_EQ(k.Frame, INT32_MAX);
    k.Frame = INT32_MIN + 50;
    keydowns(run, VirtualKey::F5, true);
    EXPECT_EQ(k.Frame, INT32_MIN);
    k.ClockTicks = INT32_MAX - 100;
    keydowns(run, VirtualKey::F10, true);
    EXPECT_EQ(k.ClockTicks, INT32_MAX);
    MMTimer1Timer(run);
    EXPECT_EQ(k.ClockTicks, INT32_MAX);
    k.ClockTicks = INT32_MIN + 1;
    keydowns(run, VirtualKey::F9, true);
    EXPECT_EQ(k.ClockTicks, INT32_MIN);
}

TEST_F(KeyboardTest, TimetableCardKeys) {
    run.route.card.height = 600;
    run.video.length = 1000;
    keydowns(run, VirtualKey::F3, false);
    EXPECT_EQ(run.view.card_top, -160);  // its lower part
    keydowns(run, VirtualKey::F3, false);
    EXPECT_EQ(run.view.card_top, -160);
    keydowns(run, VirtualKey::F2, false);
    EXPECT_EQ(run.view.card_top, 0);

    run.core.Frame = 501;  // beyond half the video: the card comes in showing its end
    keydowns(run, VirtualKey::F1, false);
    EXPECT_EQ(run.view.card_top, -160);
    EXPECT_TRUE(run.keys.card_wanted);
    run.core.Frame = 500;
    keydowns(run, VirtualKey::F1, false);
    EXPECT_EQ(run.view.card_top, 0);
    EXPECT_FALSE(run.keys.card_wanted);

    run.route.card.height = 440;  // fits: F1 only toggles, F3 does nothing
    run.view.card_top = 0;
    run.core.Frame = 900;
    keydowns(run, VirtualKey::F1, false);
    keydowns(run, VirtualKey::F3, false);
    EXPECT_EQ(run.view.card_top, 0);
    EXPECT_TRUE(run.keys.card_wanted);
}

TEST_F(KeyboardTest, PostedInputsAreHandledInOrderAndAPostedEnterRequestsCommentary) {
    for (int s = 0; s < 18; ++s) {
        run.commentary.phrase_waves.push_back(100 + s);
        run.commentary.phrase_numbers.push_back(0);
    }
    run.ats.CurrentSignalCode = 16;  // G: aspect slot 4
    run.ats.commentary_number = 7;
    run.traction.target_gear = 2;  // the Enter character refreshes GearLabel
    run.posted.push_back({false, '3'});
    post_enter(run);
    run.posted.push_back({false, '6'});
    drain_posted(run);
    EXPECT_TRUE(run.posted.empty());
    EXPECT_EQ(snd.calls, (Calls{"stop 4", "play 4", "stop 5", "play 5"}));
    EXPECT_EQ(run.commentary.queue[0], 104);
    EXPECT_EQ(run.commentary.queue[1], kNoWave);
    EXPECT_EQ(run.view.GearLabel, "直2");

    run.posted.assign(100, PostedInput{false, 'k'});
    drain_posted(run);  // at most 64 per drain; the rest waits
    EXPECT_EQ(run.posted.size(), 36u);
}
