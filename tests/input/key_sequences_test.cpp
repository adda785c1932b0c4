// Key and wheel sequences through the real handle operations, checked on the handles,
// the labels masconupdate writes and the sounds the keys add.
#include <gtest/gtest.h>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "input/keyboard.hpp"
#include "input/keyboard_fixture.hpp"

using namespace vantrel;
using vantrel::test::RecordingSound;
using Calls = std::vector<std::string>;

namespace {

struct KeySequences : vantrel::test::KeyboardFixture {
    void SetUp() override {
        KeyboardFixture::SetUp();
        TrainParams& t = run.train;
        t.brake_type = 1;
        t.sound_ats1 = 10;
        t.sound_ats2 = 11;
        Strings& s = run.strings;
        s.neut = "N";
        s.neut2 = "切";
        s.hold2 = "抑速";
        s.eb = "非常";
        run.core.BcPressure = 300 * kFixedOne;
        run.core.ErPressure = 490 * kFixedOne;
    }
    // Handle positions as the driver reads them: "P2", "N", "抑速", "B3", "非常".
    [[nodiscard]] std::string at() const {
        const CoreState& k = run.core;
        if (k.PowerHandle > 0) return "P" + std::to_string(k.PowerHandle);
        if (k.HoldPosition) return "抑速";
        if (k.BrakeHandle == 0) return "N";
        if (k.BrakeHandle == -run.train.brake_notches) return "非常";
        return "B" + std::to_string(-k.BrakeHandle);
    }
    [[nodiscard]] std::string after(std::string_view keys) {
        type(keys);
        return at();
    }
    void clear_pending() {
        run.handles.power_pending = run.handles.brake_pending = run.handles.sap_pending = false;
    }
    [[nodiscard]] bool all_pending() const {
        return run.handles.power_pending && run.handles.brake_pending && run.handles.sap_pending;
    }
};

}  // namespace

TEST_F(KeySequences, OneLeverWithHoldStepsOnePositionPerKeyAndTheLabelsFollow) {
    run.train.hold = 1;
    run.core.BrakeHandle = -2;
    EXPECT_EQ(after("z"), "B1");
    EXPECT_EQ(run.view.BrakeLabel, "B1");
    EXPECT_EQ(snd.calls, (Calls{"stop 1", "play 1"}));  // one step towards release
    EXPECT_EQ(after("z"), "抑速");
    EXPECT_EQ(run.view.BrakeLabel, "抑速");
    EXPECT_EQ(snd.count("play 1"), 1);  // still playing: not restarted
    snd.finish(1);
    snd.clear();
    EXPECT_EQ(after("z"), "N");  // leaving the hold position is no brake step: silent
    EXPECT_EQ(run.view.BrakeLabel, "N");
    EXPECT_EQ(after("z"), "P1");
    EXPECT_EQ(run.view.PowerLabel, "P1");
    EXPECT_EQ(snd.calls, (Calls{}));

    EXPECT_EQ(after("a"), "N");
    EXPECT_EQ(run.view.PowerLabel, "切");
    EXPECT_EQ(after("a"), "抑速");
    EXPECT_EQ(after("a"), "B1");  // out of hold: B1 only
    EXPECT_EQ(after("a"), "B2");
    EXPECT_EQ(run.view.BrakeLabel, "B2");
    EXPECT_EQ(snd.calls, (Calls{}));  // applying the brake has no sound

    // The wheel walks the same positions.
    WheelD(run);
    WheelD(run);
    EXPECT_EQ(at(), "抑速");
    WheelD(run);
    WheelD(run);
    EXPECT_EQ(at(), "P1");
    EXPECT_EQ(run.view.PowerLabel, "P1");
    WheelU(run);
    WheelU(run);
    WheelU(run);
    EXPECT_EQ(at(), "B1");
    EXPECT_EQ(run.view.BrakeLabel, "B1");
}

TEST_F(KeySequences, ServiceKeysStopAtTheLastServiceNotchAndOnlyTheEmergencyWaysGoFurther) {
    run.core.BrakeHandle = -6;
    EXPECT_EQ(after("a"), "B7");
    EXPECT_EQ(after("aa"), "B7");
    EXPECT_EQ(after("22"), "B7");
    run.train.handle_type = 1;
    EXPECT_EQ(after(".."), "B7");
    EXPECT_EQ(snd.calls, (Calls{}));

    clear_pending();
    WheelU(run);  // the wheel reaches emergency, with its sound while the brake pipe holds air
    EXPECT_EQ(at(), "非常");
    EXPECT_EQ(run.view.BrakeLabel, "非常");
    EXPECT_TRUE(all_pending());
    EXPECT_EQ(snd.calls, (Calls{"stop 3", "play 3"}));
    snd.clear();
    WheelU(run);  // already there
    EXPECT_EQ(at(), "非常");
    EXPECT_EQ(snd.calls, (Calls{}));

    snd.finish(3);
    run.core.BrakeHandle = -7;
    run.core.ErPressure = 0;
    WheelU(run);  // an empty brake pipe: the handle goes, silently
    EXPECT_EQ(at(), "非常");
    EXPECT_EQ(snd.calls, (Calls{}));

    run.train.handle_type = 0;
    run.core.BrakeHandle = -3;
    run.core.PowerHandle = 0;
    EXPECT_EQ(after("q"), "非常");  // never sounds
    EXPECT_EQ(snd.calls, (Calls{}));

    run.train.handle_type = 1;
    run.core.BrakeHandle = -3;
    run.core.PowerHandle = 2;
    type("/");  // two handles: emergency brake, the power handle stays
    EXPECT_EQ(run.core.BrakeHandle, -8);
    EXPECT_EQ(run.core.PowerHandle, 2);
    EXPECT_EQ(snd.calls, (Calls{"stop 3", "play 3"}));
    snd.clear();
    type("/");  // already in emergency: nothing at all
    EXPECT_EQ(snd.calls, (Calls{}));
    run.core.BrakeHandle = -2;
    run.core.AtsEmergency = true;
    type("/");  // latched: nothing at all
    EXPECT_EQ(run.core.BrakeHandle, -2);
    EXPECT_EQ(snd.calls, (Calls{}));
}

TEST_F(KeySequences, TwoHandlesKeepPowerKeysOffTheBrakeButTheKeypadStillWorksTheLever) {
    run.train.handle_type = 1;
    run.train.hold = 1;
    run.core.BrakeHandle = -3;
    clear_pending();
    type("zz");  // no interlock with the applied brake
    EXPECT_EQ(run.core.PowerHandle, 2);
    EXPECT_EQ(run.core.BrakeHandle, -3);
    EXPECT_TRUE(run.handles.power_pending);
    EXPECT_FALSE(run.handles.brake_pending || run.handles.sap_pending);
    type("aaa");
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(run.core.BrakeHandle, -3);
    EXPECT_EQ(run.view.PowerLabel, "切");

    EXPECT_EQ(after("8"), "B2");  // the one-lever operation, sound included
    EXPECT_TRUE(all_pending());
    EXPECT_EQ(snd.calls, (Calls{"stop 1", "play 1"}));
    EXPECT_EQ(after("2"), "B3");
    snd.finish(1);
    snd.clear();

    // The brake keys of two handles through the hold position.
    EXPECT_EQ(after(",,"), "B1");
    EXPECT_EQ(after(","), "抑速");
    EXPECT_EQ(snd.count("play 1"), 1);  // each step sounds unless already sounding
    EXPECT_EQ(after(","), "N");
    EXPECT_EQ(after("."), "抑速");  // N to hold applies no notch
    EXPECT_EQ(after("."), "B1");
    EXPECT_EQ(after("."), "B2");
}

TEST_F(KeySequences, ScrollLockSwapsTheKeypadDirections) {
    run.core.BrakeHandle = -3;
    run.ats.vigilance_counter = 40;
    keydowns(run, VirtualKey::ScrollLock, false);
    EXPECT_EQ(run.ats.vigilance_counter, 40);  // a virtual key is no driver action
    EXPECT_EQ(after("8"), "B4");
    EXPECT_EQ(after("2"), "B3");
    EXPECT_EQ(snd.calls, (Calls{"stop 1", "play 1"}));  // the release sound follows the movement
    keydowns(run, VirtualKey::ScrollLock, false);
    EXPECT_EQ(after("8"), "B2");
}

TEST_F(KeySequences, BrakeTypeZeroSoundsOnlyWhenReleasedWithPressureOrBeyondLap) {
    run.train.brake_type = 0;
    run.train.brake_notches = 4;  // maintain, lap, apply, emergency
    run.core.BrakeHandle = -3;
    type("zz");  // to maintain: no sound until the release position
    EXPECT_EQ(run.core.BrakeHandle, -1);
    EXPECT_EQ(snd.calls, (Calls{}));
    type("z");
    EXPECT_EQ(run.core.BrakeHandle, 0);
    EXPECT_EQ(snd.calls, (Calls{"stop 1", "play 1"}));
    snd.finish(1);
    snd.clear();
    run.core.BrakeHandle = -1;
    run.core.BcPressure = 0;
    type("z");  // released without cylinder pressure: silent
    EXPECT_EQ(snd.calls, (Calls{}));

    run.core.BcPressure = 100 * kFixedOne;
    type("22");  // to lap (-2): not beyond it
    EXPECT_EQ(run.core.BrakeHandle, -2);
    EXPECT_EQ(snd.calls, (Calls{}));
    type("2");  // to apply (-3): the exhaust sound
    EXPECT_EQ(run.core.BrakeHandle, -3);
    EXPECT_EQ(snd.calls, (Calls{"stop 1", "play 1"}));
    snd.finish(1);
    snd.clear();
    type("2");  // at the last service position the step is not taken: silent
    EXPECT_EQ(run.core.BrakeHandle, -3);
    EXPECT_EQ(snd.calls, (Calls{}));

    run.train.handle_type = 1;
    type(".");  // the apply key sounds on the position alone
    EXPECT_EQ(snd.calls, (Calls{"stop 1", "play 1"}));
}

TEST_F(KeySequences, ResetNeedsEmergencyAndAStandingTrain) {
    AtsState& ats = run.ats;
    auto latch = [&] {
        run.core.AtsEmergency = run.core.AtsBrake = true;
        ats.AtsAlarm = ats.AtsChime = true;
        ats.AtsTimer = 7;
        ats.AtsConfirmed = false;
        snd.set_status(10, kStatusLooping);
    };
    latch();
    run.core.BrakeHandle = -7;
    type("r");
    EXPECT_TRUE(run.core.AtsEmergency);
    run.core.BrakeHandle = -8;
    run.core.Speed = 6000;  // 0.6 km/h rounds to 1
    type("r");
    EXPECT_TRUE(run.core.AtsEmergency);
    EXPECT_EQ(snd.calls, (Calls{}));

    run.core.Speed = -4000;
    type("r");
    EXPECT_FALSE(run.core.AtsEmergency || run.core.AtsBrake || ats.AtsAlarm || ats.AtsChime);
    EXPECT_EQ(ats.AtsTimer, 0);
    EXPECT_TRUE(ats.AtsConfirmed);
    EXPECT_EQ(snd.calls, (Calls{"stop 10", "stop 11"}));
}

TEST_F(KeySequences, SpaceWithoutBrakeSilencesTheChimeButConfirmsNoAlarm) {
    AtsState& ats = run.ats;
    run.core.BrakeHandle = 0;
    run.core.Speed = 40 * kFixedOne;
    ats.AtsTarget = 45;
    ats.AtsAlarm = true;
    snd.set_status(11, kStatusPlaying);
    type(" ");
    EXPECT_EQ(snd.calls, (Calls{"stop 11"}));
    EXPECT_TRUE(ats.AtsAlarm);
    EXPECT_FALSE(ats.AtsChime || ats.AtsConfirmed);

    ats.AtsChime = true;
    type(" ");  // the chime is silenced, and with it the alarm
    EXPECT_FALSE(ats.AtsChime || ats.AtsAlarm);

    snd.clear();
    ats.AtsAlarm = true;
    ats.AtsTimer = 12;
    run.core.BrakeHandle = -1;
    type(" ");  // with a brake applied the alarm is confirmed
    EXPECT_FALSE(ats.AtsAlarm);
    EXPECT_TRUE(ats.AtsChime && ats.AtsConfirmed);
    EXPECT_EQ(ats.AtsTimer, 0);

    ats.AtsTarget = 998;  // at the stop-signal warning the sound waits for the train to stand
    snd.set_status(11, kStatusPlaying);
    type(" ");
    EXPECT_EQ(snd.calls, (Calls{}));
    run.core.Speed = 4000;
    type(" ");
    EXPECT_EQ(snd.calls, (Calls{"stop 11"}));
}

TEST_F(KeySequences, EveryCharacterAndWheelNotchIsADriverActionEvenBeforeTheFirstStart) {
    snd.quiet_channel = -1;
    run.waiting_for_start = true;
    run.core.BrakeHandle = -8;
    auto ringing = [&] {
        run.ats.vigilance_counter = 620;
        run.view.Lamp_EB = true;
        snd.clear();
    };
    for (char c : std::string_view("k3z\r")) {
        ringing();
        AsciiDown(run, c);
        EXPECT_EQ(run.ats.vigilance_counter, 0) << c;
        EXPECT_FALSE(run.view.Lamp_EB) << c;
        EXPECT_EQ(snd.calls, (Calls{"stop 9"})) << c;  // only the bell: the key itself waits
    }
    EXPECT_EQ(run.core.BrakeHandle, -8);

    ringing();
    WheelD(run);  // the wheel works while waiting
    EXPECT_EQ(run.ats.vigilance_counter, 0);
    EXPECT_EQ(run.core.BrakeHandle, -7);
    EXPECT_EQ(snd.calls, (Calls{"stop 9", "stop 1", "play 1"}));
    ringing();
    WheelU(run);
    EXPECT_EQ(run.ats.vigilance_counter, 0);
    EXPECT_FALSE(run.view.Lamp_EB);
    EXPECT_EQ(run.core.BrakeHandle, -8);

    for (VirtualKey k : {VirtualKey::F5, VirtualKey::F3, VirtualKey::F1, VirtualKey::ScrollLock}) {
        ringing();
        keydowns(run, k, false);
        EXPECT_EQ(run.ats.vigilance_counter, 620);
        EXPECT_TRUE(run.view.Lamp_EB);
        EXPECT_EQ(snd.calls, (Calls{}));
    }

    ringing();
    post_enter(run);  // a posted Enter types its character as well
    drain_posted(run);
    EXPECT_EQ(run.ats.vigilance_counter, 0);
    EXPECT_EQ(snd.calls, (Calls{"stop 9"}));
}

TEST_F(KeySequences, ReleaseAndEmergencyKeysMarkEveryChangePending) {
    run.core.BrakeHandle = -3;
    type("5");
    EXPECT_TRUE(all_pending());
    EXPECT_EQ(run.view.BrakeLabel, "N");
    clear_pending();
    type("0");
    EXPECT_TRUE(all_pending());
    EXPECT_EQ(run.view.BrakeLabel, "非常");
}
