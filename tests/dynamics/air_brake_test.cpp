#include <gtest/gtest.h>

#include "dynamics/air_brake.hpp"
#include "dynamics/train_fixture.hpp"

namespace vantrel {
namespace {

using test::fx;

// U = D = 300 kPa/s, E = 440 kPa, B = 8; brake pipe charged, cylinder empty.
class AirBrake : public ::testing::Test {
protected:
    void SetUp() override {
        test::electric_train(run);
        c.BrakeNotch = c.SapNotch = 0;
        c.ErPressure = fx(500);
        c.MrPressure = fx(880);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) brake_pressure_step(run);
    }
    vantrel::Run run;
    CoreState& c = run.core;
};

TEST_F(AirBrake, ServiceTargetsOfTheStraightAirAndTheElectricCommandBrake) {
    // Type 1, B4: target 440 x 4/7 = 251.43 kPa. Each tick adds U/45 = 6.6667 kPa,
    // stored rounded (+66667), while the cylinder is more than 10 kPa below the target.
    c.BrakeNotch = c.SapNotch = -4;
    ticks(60);
    EXPECT_EQ(c.BcPressure, 37 * 66667);
    EXPECT_EQ(c.SapPressure, 37 * 66667);
    EXPECT_EQ(c.MrPressure, fx(880 - 37));  // U/300 per building tick
    EXPECT_EQ(c.ErPressure, fx(500));       // recharged, limited to 500
    EXPECT_EQ(c.BcGauge, c.BcPressure);

    // Type 2: target 440 x 4/8 = 220 kPa.
    run.train.brake_type = 2;
    c.BcPressure = 0;
    ticks(60);
    EXPECT_EQ(c.BcPressure, 32 * 66667);
    // From above, the cylinder falls by D/45 until it is at or below the target.
    c.BcPressure = fx(300);
    ticks(60);
    EXPECT_LE(c.BcPressure, fx(220));
    EXPECT_GT(c.BcPressure, fx(220 - 300.0L / 45));
}

TEST_F(AirBrake, GradedReleaseInThreeBands) {
    c.BcPressure = c.SapPressure = fx(300);
    ticks(10);  // 10 kPa per tick; 210 -> 200 crosses into the next band in the same tick
    EXPECT_EQ(c.BcPressure, fx(195));
    EXPECT_EQ(c.SapPressure, fx(195));
    ticks(19);  // 5 kPa per tick; 105 -> 100 -> 97.5
    EXPECT_EQ(c.BcPressure, fx(97.5));
    EXPECT_EQ(c.SapPressure, fx(100));
    ticks(10);  // the straight-air pipe's last band starts at 50 kPa: 55 -> 50 -> 47.5
    EXPECT_EQ(c.SapPressure, fx(47.5));
    ticks(29);
    EXPECT_EQ(c.BcPressure, 0);
    EXPECT_EQ(c.SapPressure, 0);

    // An uncharged brake pipe holds the straight-air brake applied.
    c.BcPressure = fx(300);
    c.ErPressure = fx(300);
    brake_pressure_step(run);
    EXPECT_EQ(c.BcPressure, fx(300));

    // The electric command brake's bands include their lower edge: 210 -> 200, then 200 -> 190 -> 185.
    run.train.brake_type = 2;
    c.BcPressure = fx(210);
    ticks(1);
    EXPECT_EQ(c.BcPressure, fx(200));
    ticks(1);
    EXPECT_EQ(c.BcPressure, fx(185));
}

TEST_F(AirBrake, AutomaticBrakeReleasesOnlyAfterTheBrakePipeIsRecharged) {
    run.train.brake_type = 0;
    run.train.brake_notches = 4;
    c.BcPressure = fx(440);  // start-up: emergency, empty brake pipe
    c.ErPressure = 0;
    ticks(111);  // the pipe gains D/75 = 4 kPa per tick
    EXPECT_EQ(c.BcPressure, fx(440));
    EXPECT_EQ(c.ErPressure, fx(444));
    ticks(1);  // the pipe is now above the cylinder: D/30 = 10 kPa per tick
    EXPECT_EQ(c.BcPressure, fx(430));
    ticks(18);
    EXPECT_EQ(c.BcPressure, fx(250));
    EXPECT_EQ(c.ErPressure, fx(490));            // limited to 490 from tick 123 on
    EXPECT_EQ(c.MrPressure, fx(880 - 0.5 * 122));  // U/600 per tick while recharging
}

TEST_F(AirBrake, AutomaticServiceBuildsAtMostTwoAndAHalfTimesThePipeReduction) {
    run.train.brake_type = 0;
    run.train.brake_notches = 4;
    c.BrakeNotch = -3;
    c.BcPressure = fx(100);
    c.ErPressure = fx(480);  // reduction 10 kPa allows 25 kPa
    ticks(8);                // the pipe falls by U/75 = 4 kPa per tick: 448 allows 105
    EXPECT_EQ(c.BcPressure, fx(100));
    EXPECT_EQ(c.ErPressure, fx(448));
    ticks(1);
    EXPECT_EQ(c.BcPressure, fx(110));
    EXPECT_EQ(c.ErPressure, fx(444));

    c.BrakeNotch = -2;  // lap: nothing moves
    ticks(5);
    EXPECT_EQ(c.BcPressure, fx(110));
    EXPECT_EQ(c.ErPressure, fx(444));

    c.BrakeNotch = -4;  // emergency: U/9 into the cylinder, U/18 out of the pipe
    ticks(1);
    EXPECT_EQ(c.BcPressure, vantrel::round_store(fx(110) + 300.0L / 9 * 10000));
    EXPECT_EQ(c.ErPressure, fx(444 - 300.0L / 18));
}

TEST_F(AirBrake, AtsBrakeOnAStraightAirTrainWithTheHandleReleased) {
    c.AtsBrake = true;
    ticks(1);  // cylinder +U/15, pipe -U/10 + D/150
    EXPECT_EQ(c.BcPressure, fx(20));
    EXPECT_EQ(c.ErPressure, fx(472));
    EXPECT_EQ(c.MrPressure, fx(878));
    ticks(29);
    EXPECT_EQ(c.BcPressure, fx(440));  // stops at E
    EXPECT_EQ(c.ErPressure, fx(2));    // emptied, then recharged by 2 in the same tick
}

TEST_F(AirBrake, MotorCarGaugeShowsBlendingAboveTheFadeSpeed) {
    run.train.mc = 1;
    run.train.brake_up = 225;  // U/45 = 5 kPa per tick
    c.Speed = fx(80);
    c.BrakeNotch = -3;
    ticks(60);
    EXPECT_EQ(c.BcPressure, fx(180));  // target 188.57: the cylinder follows the notch
    EXPECT_EQ(c.BcGauge, fx(50));
    c.Speed = fx(9);  // below [Lose_elec]: the gauge shows the cylinder again
    ticks(1);
    EXPECT_EQ(c.BcGauge, c.BcPressure);

    c.Speed = fx(80);
    c.BrakeNotch = -8;  // emergency: no blending
    ticks(1);
    EXPECT_EQ(c.BcGauge, c.BcPressure);

    run.train.brake_type = 7;  // unknown types leave every pressure alone
    const int64_t before = c.BcPressure;
    ticks(3);
    EXPECT_EQ(c.BcPressure, before);
}

TEST(Compressor, CyclesBetweenLowAndHighWithItsThreeSounds) {
    vantrel::Run run;
    test::electric_train(run);
    test::RecordingSound sound;
    run.attach(sound);
    run.core.MrPressure = fx(780) - 1;
    compressor_step(run);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 20", "play 20", "stop 21", "loop 21"}));
    EXPECT_EQ(run.core.MrPressure, fx(780.3) - 1);
    sound.calls.clear();
    compressor_step(run);
    EXPECT_TRUE(sound.calls.empty());  // running: no new start sound
    run.core.MrPressure = fx(880);
    compressor_step(run);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"stop 22", "play 22", "stop 21"}));
    EXPECT_FALSE(run.brake.compressor_on);
    EXPECT_EQ(run.core.MrPressure, fx(880));
}

}  // namespace
}  // namespace vantrel
