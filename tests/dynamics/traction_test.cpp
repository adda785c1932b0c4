#include <gtest/gtest.h>

#include "dynamics/motion.hpp"
#include "dynamics/traction.hpp"
#include "dynamics/train_fixture.hpp"

namespace vantrel {
namespace {

using test::fx;

// Tractive force in N of the electric notch curve at a speed (km/h).
long double electric_newtons(Run& run, long double kmh) {
    run.core.Speed = fx(kmh);
    run.core.TractiveForce = 0;
    electric_effort(run);
    return real(run.core.TractiveForce);
}

TEST(Traction, ElectricNotchCurveHasThreeRegions) {
    vantrel::Run run;
    test::electric_train(run);
    run.core.PowerNotch = 1;
    // F = 300 t x 1000 x a / 3.6 with a in km/h/s.
    EXPECT_NEAR(electric_newtons(run, 20), 300000 * 2.75L / 3.6L, 1e-3);     // linear: 3.0 - 0.5 x 20/40
    EXPECT_NEAR(electric_newtons(run, 40), 300000 * 2.5L / 3.6L, 1e-3);      // vb: constant power gives a1
    EXPECT_NEAR(electric_newtons(run, 60), 300000 * (100 / 60.0L) / 3.6L, 1e-3);  // 2.5 x 40 / 60
    // 2.5 x 40 / 80 x 0.98^10 = 1.021341 km/h/s
    EXPECT_NEAR(electric_newtons(run, 80), 300000 * 1.25L * 0.8170728068875467L / 3.6L, 1e-3);
    EXPECT_NEAR(electric_newtons(run, -20), 300000 * 2.75L / 3.6L, 1e-3);  // backwards: |v|
    // The exponent's speed rounds half to even: 80.5 km/h decays like 80, 81.5 like 82.
    EXPECT_NEAR(electric_newtons(run, 80.5), 300000 * (100 / 80.5L) * 0.8170728068875467L / 3.6L, 1e-3);
    EXPECT_NEAR(electric_newtons(run, 81.5), 300000 * (100 / 81.5L) * 0.7847167237347999L / 3.6L, 1e-3);

    // No notch, a notch beyond the table, or a diesel train: no electric effort.
    run.core.PowerNotch = 0;
    EXPECT_EQ(electric_newtons(run, 20), 0);
    run.core.PowerNotch = 5;
    EXPECT_EQ(electric_newtons(run, 20), 0);

    // A zero base speed gives no effort at standstill instead of 0/0.
    run.core.PowerNotch = 1;
    run.train.notches[0] = NotchCurve{3.0, 2.5, 0, 70, 0.98};
    EXPECT_EQ(electric_newtons(run, 0), 0);
}

class Diesel : public ::testing::Test {
protected:
    void SetUp() override {
        test::diesel_train(run);
        test::ready_to_run(run);
        run.core.Speed = fx(41);  // past the converter stage's 40 km/h
        run.traction.EngineRev = 80;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) MMTimer1Timer(run);
    }
    vantrel::Run run;
};

TEST_F(Diesel, AutomaticUpShiftWaitsEightyTicksWithoutEffort) {
    run.core.PowerHandle = run.core.PowerNotch = 3;
    ticks(1);
    EXPECT_EQ(run.traction.target_gear, 1);
    EXPECT_TRUE(run.traction.gear_changing);
    EXPECT_EQ(run.core.TractiveForce, 0);
    ticks(78);
    EXPECT_TRUE(run.traction.gear_changing);
    EXPECT_EQ(run.core.TractiveForce, 0);
    EXPECT_EQ(run.traction.gear, 0);
    ticks(1);  // the 80th tick ends the shift
    EXPECT_FALSE(run.traction.gear_changing);
    EXPECT_EQ(run.traction.gear, 1);
    EXPECT_EQ(run.view.GearLabel, "直1");
    ticks(1);
    // Gear 1 at 41 km/h: a = 1.2 + (1.0 - 1.2) / 20 x 11 = 1.09; F = 300000 x 0.8 x 1.09 / 3.6 / 5 x 3.
    EXPECT_NEAR(real(run.core.TractiveForce), 43600, 1e-3);
    EXPECT_EQ(run.traction.target_gear, 1);
}

TEST_F(Diesel, PowerDelayAndGearWaitShareOneCounter) {
    run.train.power_delay = 10;
    run.core.PowerHandle = 3;
    run.handles.power_pending = true;
    ticks(4);
    EXPECT_EQ(run.core.PowerNotch, 0);
    ticks(1);  // both count: 2 per tick, so the notch comes after 5 ticks instead of 10
    EXPECT_EQ(run.core.PowerNotch, 3);
    ticks(79);  // the wait starts again from 0
    EXPECT_TRUE(run.traction.gear_changing);
    ticks(1);
    EXPECT_FALSE(run.traction.gear_changing);
}

TEST_F(Diesel, TractionCutPausesTheShift) {
    ticks(1);
    run.core.TractionCut = true;
    ticks(200);
    EXPECT_TRUE(run.traction.gear_changing);
    EXPECT_EQ(run.handles.power_counter, 1);
}

TEST_F(Diesel, EngineOutputRisesWithTheNotchAndFallsWithoutIt) {
    run.core.Speed = 0;
    run.traction.EngineRev = 0;
    run.core.PowerNotch = 1;  // limit 50 + 50 x 1/5 = 60
    for (int i = 0; i < 19; ++i) engine_output_step(run);
    EXPECT_EQ(run.traction.EngineLevel, 95);
    EXPECT_EQ(run.traction.EngineRev, 60);
    engine_output_step(run);
    EXPECT_EQ(run.traction.EngineLevel, 95);
    EXPECT_EQ(run.traction.EngineRev, 60);

    run.core.PowerNotch = 0;
    run.traction.EngineLevel = 20;
    for (int i = 0; i < 10; ++i) engine_output_step(run);
    EXPECT_EQ(run.traction.EngineRev, 50);  // by 2 per step, down to 50
    EXPECT_EQ(run.traction.EngineLevel, 2);  // by 3 while above 3
}

TEST_F(Diesel, FallingBelow25KmhDropsToTheConverterButKeepsTheTarget) {
    run.traction.gear = run.traction.target_gear = 2;
    run.core.Speed = fx(25);
    engine_output_step(run);
    EXPECT_EQ(run.traction.gear, 2);
    run.traction.gear_changing = true;
    run.core.Speed = fx(24.9);
    engine_output_step(run);
    EXPECT_EQ(run.traction.gear, 0);
    EXPECT_EQ(run.traction.target_gear, 2);
    EXPECT_FALSE(run.traction.gear_changing);
}

TEST_F(Diesel, ManualGearsMoveOnlyWithoutPowerAndWithinTheTable) {
    gear_up(run);  // automatic gears: the driver cannot shift
    EXPECT_EQ(run.traction.target_gear, 0);
    run.train.gear_manual = 1;
    run.core.PowerNotch = 1;
    gear_up(run);
    EXPECT_EQ(run.traction.target_gear, 0);
    run.core.PowerNotch = 0;
    gear_down(run);
    EXPECT_FALSE(run.traction.gear_changing);
    for (int i = 0; i < 6; ++i) gear_up(run);
    EXPECT_EQ(run.traction.target_gear, 4);
    EXPECT_TRUE(run.traction.gear_changing);
    EXPECT_EQ(run.view.GearLabel, "直4");
    gear_down(run);
    EXPECT_EQ(run.view.GearLabel, "直3");
    // Manual trains never shift by themselves.
    run.traction.gear_changing = false;
    run.traction.gear = run.traction.target_gear = 0;
    MMTimer1Timer(run);
    EXPECT_EQ(run.traction.target_gear, 0);
}

TEST(Traction, AmmeterFollowsTheSnapshotInSteps) {
    vantrel::Run run;
    test::electric_train(run);
    run.core.ForceSnapshot = fx(100000);  // 1.2 km/h/s on 300 t
    run.core.Speed = fx(36);
    ammeter_step(run);
    EXPECT_EQ(run.traction.target_current, 0);  // no power notch
    run.core.PowerNotch = 1;
    const int32_t expected[] = {100, 200, 250, 260, 250, 260};  // target round(1.2 x 6 x 36) = 259
    for (int32_t shown : expected) {
        ammeter_step(run);
        EXPECT_EQ(run.traction.shown_current, shown);
    }
    EXPECT_EQ(run.traction.target_current, 259);
    run.core.Speed = fx(80);
    ammeter_step(run);
    EXPECT_EQ(run.traction.target_current, 504);  // 1.2 x 420 above 72 km/h
}

}  // namespace
}  // namespace vantrel
