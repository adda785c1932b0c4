#include <gtest/gtest.h>

#include "app/scheduler.hpp"
#include "dynamics/motion.hpp"
#include "dynamics/train_fixture.hpp"

namespace vantrel {
namespace {

using test::fx;

class Motion : public ::testing::Test {
protected:
    void SetUp() override {
        test::electric_train(run);
        test::ready_to_run(run);
    }
    // Runs the tick and the dynamics step in their real interleaving.
    void drive(int64_t ms) {
        Scheduler s;
        s.start(0);
        s.run_until(ms, [&](int64_t) { MMTimer1Timer(run); }, [&](int64_t) { dynamics_step(run); });
    }
    void emergency() {
        c.BrakeHandle = c.BrakeNotch = -8;
        c.BcPressure = fx(440);
    }
    vantrel::Run run;
    CoreState& c = run.core;
};

TEST_F(Motion, DistanceFollowsTheSpeedAndTheClockTicks) {
    c.TargetDistance = 1000;
    for (int i = 0; i < 5; ++i) MMTimer1Timer(run);
    EXPECT_EQ(c.Distance, 0);  // standing: no distance
    EXPECT_EQ(c.RemainingDistance, 1000);
    EXPECT_EQ(c.ClockTicks, 5);

    c.Speed = fx(36);  // 10 m/s: 33.333 cm per 1/30 s
    for (int i = 0; i < 3; ++i) MMTimer1Timer(run);
    EXPECT_NEAR(static_cast<double>(c.DistanceStep), 33.333, 1e-9);
    EXPECT_NEAR(static_cast<double>(c.Distance), 99.999, 1e-9);
    EXPECT_NEAR(static_cast<double>(c.RemainingDistance), 900.001, 1e-9);
    c.Speed = -c.Speed;
    MMTimer1Timer(run);
    EXPECT_NEAR(static_cast<double>(c.Distance), 66.666, 1e-9);
}

TEST_F(Motion, BrakingStopsExactlyAtZeroAndStaysThere) {
    emergency();
    c.Speed = fx(0.5);
    int64_t previous = c.Speed;
    for (int i = 0; i < 5 && c.Speed != 0; ++i) {
        drive(100);
        EXPECT_LT(c.Speed, previous);
        EXPECT_GE(c.Speed, 0);
        previous = c.Speed;
    }
    EXPECT_EQ(c.Speed, 0);
    EXPECT_EQ(c.TractiveForce, 0);
    const long double stopped_at = c.Distance;
    drive(10000);  // no creep in either direction
    EXPECT_EQ(c.Speed, 0);
    EXPECT_EQ(c.Distance, stopped_at);
}

TEST_F(Motion, ReverseTractionStartsTheTrainBackwards) {
    c.Reverser = -1;
    c.PowerHandle = c.PowerNotch = 1;
    drive(2000);
    EXPECT_LT(c.Speed, fx(-5));  // 2.9 km/h/s less the resistance, for about 2 s
    EXPECT_LT(c.Distance, 0);
    EXPECT_GT(c.ResistanceForce, 0);  // resistance pushes towards positive speed
}

TEST_F(Motion, ResistanceActsAgainstBackwardMotion) {
    c.Speed = fx(-5);
    dynamics_step(run);
    // Starting: (8 - 5) x 9.8 x 300 = 8820 N. Running: ((1.32 + 0.0164 x 5) x 300
    // + (0.028 + 0.0078 x 5) x 25) x 9.8 = 4138.295 N.
    EXPECT_NEAR(real(c.ResistanceForce), 8820 + 4138.295, 1e-3);
    EXPECT_GT(c.Speed, fx(-5));

    c.ResistanceForce = 0;
    c.Speed = fx(5);
    dynamics_step(run);
    EXPECT_NEAR(real(c.ResistanceForce), -(8820 + 4138.295), 1e-3);
}

TEST_F(Motion, HoldPositionKeepsTheSpeedOnADownGrade) {
    c.Gradient = fx(-25);
    c.Speed = fx(50);
    c.HoldPosition = true;
    drive(10000);
    EXPECT_EQ(c.Speed, fx(50));

    c.HoldPosition = false;  // without it the grade wins over the resistance
    drive(1000);
    EXPECT_GT(c.Speed, fx(50.5));
}

TEST_F(Motion, AdhesionLimitsPowerAndBrake) {
    // 120 t motored at 0 km/h on the level: 0.345 x 120 x 1000 x 9.8 = 405720 N; a
    // notch asking 300 t x 5 / 3.6 = 416667 N spins the wheels and gets half the limit.
    run.train.notches[0].start_accel = 5.0;
    c.PowerHandle = c.PowerNotch = 1;
    MMTimer1Timer(run);
    dynamics_step(run);
    EXPECT_EQ(c.Wheel, WheelState::Racing);
    EXPECT_EQ(c.AdhesionCoefficient, 3450);
    EXPECT_NEAR(real(c.TractiveForce), 202860, 1e-3);

    // Sliding at 40 km/h: adhesion 0.345 x 3 / 5 = 0.207; limit 0.207 x 300 t x 9800.
    c.PowerHandle = c.PowerNotch = 0;
    c.Speed = fx(40);
    c.BrakeHandle = c.BrakeNotch = -7;
    c.BcPressure = fx(440);
    run.train.brake_rate = fx(20);
    MMTimer1Timer(run);
    dynamics_step(run);
    EXPECT_EQ(c.Wheel, WheelState::Sliding);
    EXPECT_EQ(c.AdhesionCoefficient, 2070);
    EXPECT_NEAR(real(c.TractiveForce), -608580, 1e-3);

    run.train.brake_rate = fx(4);
    MMTimer1Timer(run);
    dynamics_step(run);
    EXPECT_EQ(c.Wheel, WheelState::Normal);
}

TEST_F(Motion, EffectiveBrakeRateRisesBelowTheFadeSpeedAndHalvesBelow3Kmh) {
    const auto rate_at = [&](long double kmh) {
        c.Speed = fx(kmh);
        c.ResistanceForce = c.TractiveForce = 0;
        dynamics_step(run);
        return c.EffectiveBrakeRate;
    };
    EXPECT_EQ(rate_at(20), 40000);
    // 4 x mu(5) / mu(10) = 4 x 0.2688 / 0.234667 = 4.58182 km/h/s
    EXPECT_EQ(rate_at(5), 45818);
    EXPECT_EQ(rate_at(-1), 20000);  // backwards: no shoe-friction term, halved
}

TEST_F(Motion, TractionBlockLimitsAndFollowVideo) {
    c.PowerHandle = c.PowerNotch = 1;
    c.ForceSnapshot = 12345;
    c.Speed = fx(120);  // exactly [MaxSpeed]: no effort, snapshot kept
    MMTimer1Timer(run);
    EXPECT_EQ(c.TractiveForce, 0);
    EXPECT_EQ(c.ForceSnapshot, 12345);
    c.Speed = fx(120) - 1;
    MMTimer1Timer(run);
    EXPECT_GT(c.TractiveForce, 0);
    EXPECT_EQ(c.ForceSnapshot, c.TractiveForce);

    c.Reverser = 0;
    MMTimer1Timer(run);
    EXPECT_EQ(c.TractiveForce, 0);
    EXPECT_EQ(c.ForceSnapshot, 0);

    // Doors open: the power delay waits, the brake delay does not.
    run.train.power_delay = run.train.brake_delay = 2;
    c.TractionCut = true;
    c.PowerHandle = 3;
    c.BrakeHandle = -2;
    run.handles.power_pending = run.handles.brake_pending = true;
    for (int i = 0; i < 5; ++i) MMTimer1Timer(run);
    EXPECT_EQ(c.PowerNotch, 1);
    EXPECT_EQ(c.BrakeNotch, -2);

    emergency();
    c.FollowVideo = true;
    run.video.FilmedSpeed = 45;
    MMTimer1Timer(run);
    EXPECT_EQ(c.Speed, fx(45));
}

TEST_F(Motion, AMasslessTrainDoesNotMove) {
    run.train.tons = 0;
    run.train.mt = 0;
    c.PowerHandle = c.PowerNotch = 4;
    c.Gradient = fx(-30);
    drive(1000);
    EXPECT_EQ(c.Speed, 0);
    EXPECT_EQ(c.Voltmeter, fx(1500));  // meanwhile the voltmeter has come up by 100 V per step
}

// One 100 ms step of the standing 300 t train, forces as the tick leaves them. At a
// standstill the effective brake rate is 4.0 / 2 km/h/s, so a full cylinder (440 kPa)
// holds 2 / 3.6 x 300 t = 166 666.67 N; a 25 per mille down grade pushes with
// 300 t x 9.8 x 25 / sqrt(25^2 + 1000^2) = 73 477.04 N (0.0881725 km/h per step).
TEST_F(Motion, AStandingTrainIsHeldByItsBrakeUpToTheBrakesForce) {
    const auto step = [&](double bc_kpa, double gradient, double tractive_n) {
        c.Speed = 0;
        c.BcPressure = fx(bc_kpa);
        c.Gradient = fx(gradient);
        c.TractiveForce = fx(tractive_n);
        c.ResistanceForce = 0;
        dynamics_step(run);
    };
    // A service brake of 220 kPa holds 83 333.33 N: more than the grade, so nothing moves.
    step(220, -25, 0);
    EXPECT_EQ(c.Speed, 0);
    EXPECT_EQ(c.TractiveForce, 0);
    // 110 kPa holds only 41 666.67 N: the train rolls off with the difference,
    // 881.7245 - 500.0000 ten-thousandths of a km/h.
    step(110, -25, 0);
    EXPECT_EQ(c.TractiveForce, fx(-41666.6667));
    EXPECT_EQ(c.Speed, 882 - 500);
    // Full traction (3.0 km/h/s: 250 000 N) against a full cylinder still releasing on
    // the level starts with 83 333.33 N, 0.1 km/h in the step, not 0.3 km/h.
    step(440, 0, 250000);
    EXPECT_EQ(c.Speed, 1000);
    // Without a brake the grade starts the train as before.
    step(0, -25, 0);
    EXPECT_EQ(c.Speed, 882);

    // Over a whole minute on the grade, held by a service notch through the real steps:
    // not a centimetre of creep.
    c.Speed = 0;
    c.Gradient = fx(-25);
    c.BrakeHandle = c.BrakeNotch = -5;
    drive(5000);  // the cylinder fills
    ASSERT_EQ(c.Speed, 0);
    const long double stood = c.Distance;
    drive(60000);
    EXPECT_EQ(c.Speed, 0);
    EXPECT_EQ(c.Distance, stood);
}

// Braking a backward roll: the step that would carry the speed through zero sets it to
// exactly 0. At -0.05 km/h the brake (166 666.67 N, +2000) and the starting resistance
// (7.95 x 9.8 x 300 N, +280.5) would make +0.178 km/h.
TEST_F(Motion, BrakingABackwardRollStopsExactlyAtZero) {
    emergency();
    c.Speed = -500;
    c.TractiveForce = c.ResistanceForce = 0;
    dynamics_step(run);
    EXPECT_EQ(c.Speed, 0);
    EXPECT_EQ(c.TractiveForce, 0);
}

// The lightest train the reader accepts with absurd traction: the forces saturate and
// the speed stays inside its type, forwards (up to [MaxSpeed]) and backwards (unbounded).
TEST_F(Motion, AbsurdTractionSaturatesInsteadOfOverflowing) {
    run.train.tons = fx(1);
    run.train.mt = fx(9e14);
    run.train.max_speed = INT32_MAX;
    run.train.notches.assign(4, NotchCurve{1e300, 1e300, 40, 70, 0.98});
    c.PowerHandle = c.PowerNotch = 4;
    for (const int32_t reverser : {1, -1}) {
        c.Reverser = reverser;
        drive(60000);
        EXPECT_LT(c.Speed, INT64_MAX);
        EXPECT_GT(c.Speed, INT64_MIN);
    }
}

}  // namespace
}  // namespace vantrel
