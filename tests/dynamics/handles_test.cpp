#include <gtest/gtest.h>

#include "dynamics/handles.hpp"
#include "dynamics/train_fixture.hpp"

namespace vantrel {
namespace {

using test::electric_train;

void expect_at(const Run& run, int32_t power, int32_t brake, bool hold) {
    EXPECT_EQ(run.core.PowerHandle, power);
    EXPECT_EQ(run.core.BrakeHandle, brake);
    EXPECT_EQ(run.core.HoldPosition, hold);
}

class Handles : public ::testing::Test {
protected:
    void SetUp() override {
        electric_train(run);
        init_train_state(run);
    }
    vantrel::Run run;
};

TEST_F(Handles, OneLeverWithHoldPassesThroughTheHoldPositionBothWays) {
    run.train.hold = 1;
    run.core.BrakeHandle = -2;
    EXPECT_TRUE(lever_towards_power(run));  // B1
    expect_at(run, 0, -1, false);
    EXPECT_TRUE(lever_towards_power(run));  // hold
    expect_at(run, 0, 0, true);
    masconupdate(run);
    EXPECT_EQ(run.view.BrakeLabel, "抑速");
    EXPECT_EQ(run.view.Lamp_B, 1);
    EXPECT_FALSE(lever_towards_power(run));  // N
    expect_at(run, 0, 0, false);
    masconupdate(run);
    EXPECT_EQ(run.view.BrakeLabel, "ブレーキ解除");
    EXPECT_EQ(run.view.Lamp_B, 0);
    lever_towards_power(run);
    expect_at(run, 1, 0, false);

    // Back: P1 -> N -> hold -> B1 -> B2; N to hold applies no notch.
    EXPECT_FALSE(lever_towards_brake(run));
    expect_at(run, 0, 0, false);
    EXPECT_TRUE(lever_towards_brake(run));
    expect_at(run, 0, 0, true);
    lever_towards_brake(run);  // out of hold: B1 only, not B2
    expect_at(run, 0, -1, false);
    EXPECT_FALSE(run.handles.hold_guard);
    masconupdate(run);
    EXPECT_EQ(run.view.BrakeLabel, "B1");
    EXPECT_EQ(run.view.Lamp_B, 2);  // with a hold position B1 is picture 2
    lever_towards_brake(run);
    expect_at(run, 0, -2, false);
}

TEST_F(Handles, OneLeverStopsAtTheLastServiceNotchAndEmergencyHasItsOwnOperation) {
    run.core.BrakeHandle = -1;
    lever_towards_power(run);  // without a hold position B1 goes straight to N
    expect_at(run, 0, 0, false);
    lever_towards_power(run);
    lever_towards_power(run);
    lever_towards_power(run);
    lever_towards_power(run);
    lever_towards_power(run);  // no P5 on a four-notch train
    expect_at(run, 4, 0, false);
    masconupdate(run);
    EXPECT_EQ(run.view.PowerLabel, "P4");

    // Towards brake from power only takes power off; the brake stays released.
    EXPECT_FALSE(lever_towards_brake(run));
    expect_at(run, 3, 0, false);

    run.core.PowerHandle = 0;
    run.core.BrakeHandle = -7;
    run.handles = HandleState{};
    EXPECT_FALSE(lever_towards_brake(run));
    expect_at(run, 0, -7, false);
    EXPECT_TRUE(run.handles.power_pending && run.handles.brake_pending && run.handles.sap_pending);
    EXPECT_TRUE(lever_towards_brake(run, true));  // the wheel reaches emergency
    expect_at(run, 0, -8, false);

    run.core.PowerHandle = 3;
    run.core.BrakeHandle = 0;
    run.core.HoldPosition = true;
    lever_to_emergency(run);
    expect_at(run, 0, -8, false);
}

TEST_F(Handles, TwoHandlesMoveIndependentlyAndSetOnlyTheirOwnFlags) {
    run.train.handle_type = 1;
    run.train.hold = 1;
    run.core.BrakeHandle = -3;
    power_up(run);  // no interlock with the brake
    EXPECT_EQ(run.core.PowerHandle, 1);
    EXPECT_TRUE(run.handles.power_pending);
    EXPECT_FALSE(run.handles.brake_pending);
    power_down(run);
    power_down(run);
    EXPECT_EQ(run.core.PowerHandle, 0);

    run.core.PowerHandle = 2;
    EXPECT_TRUE(brake_apply_step(run));  // no power condition on the brake handle
    expect_at(run, 2, -4, false);
    EXPECT_TRUE(run.handles.brake_pending && run.handles.sap_pending);

    run.core.BrakeHandle = -1;
    EXPECT_TRUE(brake_release_step(run));
    expect_at(run, 2, 0, true);
    EXPECT_FALSE(brake_release_step(run));  // leaves the hold position, no notch to release
    expect_at(run, 2, 0, false);
    run.core.HoldPosition = true;
    EXPECT_TRUE(brake_apply_step(run));  // hold -> B1, not B2
    expect_at(run, 2, -1, false);

    run.core.AtsEmergency = true;
    run.handles.brake_pending = run.handles.sap_pending = false;
    EXPECT_FALSE(brake_to_emergency(run));  // latched: nothing moves
    EXPECT_EQ(run.core.BrakeHandle, -1);
    // A refused emergency starts no delay, so a later move still waits its full delay.
    EXPECT_FALSE(run.handles.brake_pending || run.handles.sap_pending);
    run.core.AtsEmergency = false;
    EXPECT_TRUE(brake_to_emergency(run));
    EXPECT_EQ(run.core.BrakeHandle, -8);
    EXPECT_EQ(run.core.PowerHandle, 2);  // the power notch stays
    EXPECT_TRUE(run.handles.brake_pending && run.handles.sap_pending);
    run.handles.brake_pending = run.handles.sap_pending = false;
    EXPECT_FALSE(brake_to_emergency(run));
    EXPECT_FALSE(run.handles.brake_pending || run.handles.sap_pending);
}

TEST_F(Handles, SetPositionsAreLimitedAndTheReverserOnlyMovesAtWalkingPace) {
    set_power_position(run, 6);
    EXPECT_EQ(run.core.PowerHandle, 4);
    set_power_position(run, -1);
    EXPECT_EQ(run.core.PowerHandle, 0);
    set_brake_position(run, -9);
    EXPECT_EQ(run.core.BrakeHandle, -8);
    set_brake_position(run, 2);
    EXPECT_EQ(run.core.BrakeHandle, 0);

    run.core.Speed = 15000;  // 1.5 km/h
    set_reverser(run, -1);
    EXPECT_EQ(run.core.Reverser, 1);
    run.core.Speed = -10000;  // exactly 1 km/h backwards
    set_reverser(run, -1);
    EXPECT_EQ(run.core.Reverser, -1);
    masconupdate(run);
    EXPECT_EQ(run.view.Label1, "後退");
}

TEST_F(Handles, BrakeDelayFollowsTheLatestHandleWhenItsCountExpires) {
    run.train.brake_delay = 3;
    run.train.sap_delay = 2;
    run.core.BrakeHandle = -4;  // moved after tick t
    mark_handles_changed(run);
    brake_delay_steps(run);  // t + 1
    run.core.BrakeHandle = -5;  // a second move does not restart the count
    mark_handles_changed(run);
    EXPECT_EQ(run.core.SapNotch, 0);
    brake_delay_steps(run);  // t + 2
    EXPECT_EQ(run.core.SapNotch, -5);
    EXPECT_EQ(run.core.BrakeNotch, -8);
    brake_delay_steps(run);  // t + 3
    EXPECT_EQ(run.core.BrakeNotch, -5);
    EXPECT_FALSE(run.handles.brake_pending);
    EXPECT_EQ(run.handles.brake_counter, 0);

    // A delay of 0 (refused by the reader) still fires instead of counting for ever.
    run.train.power_delay = 0;
    run.core.PowerHandle = 2;
    run.handles.power_pending = true;
    power_delay_step(run);
    EXPECT_EQ(run.core.PowerNotch, 2);
}

TEST_F(Handles, MasconupdateLabelsPicturesAndTheirGuards) {
    run.train.brake_type = 0;
    init_train_state(run);  // four positions
    EXPECT_EQ(run.view.BrakeLabel, "非常");
    EXPECT_EQ(run.view.PowerLabel, "切");
    EXPECT_EQ(run.view.Label1, "前進");
    EXPECT_EQ(run.view.Lamp_B, 4);
    const char* names[] = {"ブレーキ解除", "緩め", "重なり", "ブレーキ"};
    for (int32_t n = 0; n < 4; ++n) {
        run.core.BrakeHandle = -n;
        masconupdate(run);
        EXPECT_EQ(run.view.BrakeLabel, names[n]) << n;
    }

    // ATS pictures: emergency shows the last brake picture, the ATS brake the one before.
    run.core.PowerHandle = 2;
    run.core.AtsEmergency = true;
    masconupdate(run);
    EXPECT_EQ(run.view.Lamp_P, 0);
    EXPECT_EQ(run.view.Lamp_B, 9);
    run.core.AtsEmergency = false;
    run.core.AtsBrake = true;
    masconupdate(run);
    EXPECT_EQ(run.view.Lamp_B, 8);
    run.core.AtsBrake = false;

    // A picture list too short for the notch shows nothing rather than overrunning.
    run.train.panel.notch_b.pictures.resize(2);
    run.core.BrakeHandle = -3;
    masconupdate(run);
    EXPECT_EQ(run.view.Lamp_B, -1);
    EXPECT_EQ(run.view.Lamp_P, 2);

    // The first power notch after departure asks for its commentary once.
    run.commentary.first_power = true;
    run.core.TractionCut = true;
    masconupdate(run);
    EXPECT_TRUE(run.commentary.first_power);
    run.core.TractionCut = false;
    run.ats.vigilance_counter = 40;
    masconupdate(run);
    EXPECT_FALSE(run.commentary.first_power);
    EXPECT_EQ(run.ats.vigilance_counter, 0);
}

TEST_F(Handles, StartStateAndTheBrakeNotchCheck) {
    vantrel::Run diesel;
    test::diesel_train(diesel);
    diesel.train.brake_type = 0;
    diesel.train.brake_notches = 8;
    EXPECT_FALSE(init_train_state(diesel).has_value());
    EXPECT_EQ(diesel.train.brake_notches, 4);
    EXPECT_EQ(diesel.core.BrakeHandle, -4);
    EXPECT_EQ(diesel.core.BrakeNotch, -4);
    EXPECT_EQ(diesel.core.BcPressure, 440 * 10000);
    EXPECT_EQ(diesel.core.MrPressure, 880 * 10000);
    EXPECT_TRUE(diesel.core.TractionCut);
    EXPECT_EQ(diesel.view.GearLabel, "変");
    EXPECT_TRUE(diesel.view.GearLabel_visible);
    EXPECT_FALSE(run.view.GearLabel_visible);

    // Checked before the handles are set from the negated count, which -2^31 has none of.
    for (const int32_t notches : {2, -2147483647 - 1}) {
        vantrel::Run few;
        electric_train(few);
        few.train.brake_notches = notches;
        EXPECT_EQ(init_train_state(few), std::optional<std::string>("ブレーキの段数を3段以上に設定してください"));
    }
}

}  // namespace
}  // namespace vantrel
