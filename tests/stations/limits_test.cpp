#include <gtest/gtest.h>

#include "app/run.hpp"
#include "route/limits.hpp"

namespace vantrel {
namespace {

constexpr int64_t kmh(long double v) { return static_cast<int64_t>(v * 10000); }

TEST(SpeedLimits, WarnsOnApproachBlinksAndShowsInTheZone) {
    vantrel::Run run;
    run.route.other_images.resize(5);
    run.train.brake_rate = 30000;  // 3 km/h/s
    // 60 km/h from frame 1000 (1000 m) to frame 2000.
    run.route.speed_limits = {{.limit = 60, .picture = 3, .sign_frame = 1000, .zone_end = 2000,
                               .distance = 100000}};
    run.core.Distance = 50000;  // 500 m ahead: d = 400 m

    // 90 km/h needs 30 / 1.8 x 150 / 7.2 = 347 m: no warning yet.
    run.core.Speed = kmh(90);
    speed_limits_step(run);
    EXPECT_FALSE(run.limits.blinking);
    EXPECT_EQ(run.view.SpeedLimitImage, -1);
    // 100 km/h needs 40 / 1.8 x 160 / 7.2 = 494 m.
    run.core.Speed = kmh(100);
    speed_limits_step(run);
    EXPECT_TRUE(run.limits.blinking);
    EXPECT_EQ(run.view.SpeedLimitImage, 3);

    run.window_ticks = 15;
    speed_limit_blink(run);
    EXPECT_FALSE(run.view.SpeedLimitImage_visible);
    run.window_ticks = 17;
    speed_limit_blink(run);
    EXPECT_FALSE(run.view.SpeedLimitImage_visible);
    run.window_ticks = 20;
    speed_limit_blink(run);
    EXPECT_TRUE(run.view.SpeedLimitImage_visible);

    // Below the limit, 50 m before the sign: d = -50, B = -5 / 1.8 x 115 / 7.2 = -44.
    run.limits.blinking = false;
    run.core.Distance = 95000;
    run.core.Speed = kmh(55);
    speed_limits_step(run);
    EXPECT_TRUE(run.limits.blinking);

    run.window_ticks = 25;
    speed_limit_blink(run);
    run.core.Frame = 1500;
    run.core.Distance = 150000;
    speed_limits_step(run);
    EXPECT_FALSE(run.limits.blinking);
    EXPECT_TRUE(run.view.SpeedLimitImage_visible);
    EXPECT_EQ(run.limits.displayed_limit, 60);
    EXPECT_EQ(run.view.SpeedLimitImage, 3);

    run.core.Frame = 2000;  // the zone end itself is outside
    speed_limits_step(run);
    EXPECT_EQ(run.limits.displayed_limit, 0);
    EXPECT_EQ(run.view.SpeedLimitImage, -1);
}

TEST(SpeedLimits, AWarnedLimitNeverEnteredKeepsBlinkingWithoutAPicture) {
    vantrel::Run run;
    run.route.other_images.resize(5);
    run.train.brake_rate = 0;  // no brake rate: too fast is always warned, no division by zero
    run.route.speed_limits = {{.limit = 40, .picture = 2, .sign_frame = 1000, .zone_end = 2000,
                               .distance = 100000}};
    run.core.Distance = 90000;
    run.core.Speed = kmh(41);
    speed_limits_step(run);
    EXPECT_TRUE(run.limits.blinking);
    EXPECT_EQ(run.view.SpeedLimitImage, 2);
    run.core.Distance = 100000;  // the sign is passed, but the zone is never entered
    speed_limits_step(run);
    EXPECT_TRUE(run.limits.blinking);
    EXPECT_EQ(run.view.SpeedLimitImage, -1);
}

TEST(SpeedChecks, TripTheAlarmOnlyJustPastTheirFrameAndAboveTheirSpeed) {
    vantrel::Run run;
    run.route.speed_checks = {{.speed = 60, .frame = 500}};
    run.core.Speed = kmh(60);
    run.core.Frame = 505;
    speed_checks_step(run);
    EXPECT_FALSE(run.ats.AtsAlarm);
    run.core.Speed = kmh(61);
    run.core.Frame = 510;
    speed_checks_step(run);
    EXPECT_FALSE(run.ats.AtsAlarm);
    run.ats.AtsChime = true;
    run.core.Frame = 509;
    speed_checks_step(run);
    EXPECT_TRUE(run.ats.AtsAlarm);
    EXPECT_FALSE(run.ats.AtsChime);
}

TEST(Signs, WhateverShowsFirstStaysUntilNothingIsActive) {
    vantrel::Run run;
    run.route.other_images.resize(5);
    run.route.signs = {{.picture = 4, .start = 100, .end = 300}};
    run.route.time_checks = {{.kind = 1, .from = 200, .to = 400, .time = 0}};
    run.core.Speed = kmh(50);
    run.core.RemainingDistance = 50000;

    auto at = [&](int32_t frame) {
        run.core.Frame = frame;
        signs_step(run);
        return run.limits.other_content;
    };
    EXPECT_EQ(at(100), 4);
    EXPECT_EQ(run.view.OtherImage, 4);
    EXPECT_EQ(at(250), 4);
    EXPECT_EQ(at(350), 4);  // the time check keeps the sign up
    EXPECT_EQ(at(400), kNone);
    EXPECT_EQ(run.view.OtherImage, -1);
    EXPECT_EQ(at(350), 901);
    EXPECT_EQ(run.view.OtherImage, 0);
    EXPECT_EQ(at(250), 901);
    at(0);
    EXPECT_EQ(at(250), 4);  // both at once: the sign is looked at first

    // No prompt near the stop or at walking pace.
    at(0);
    run.core.RemainingDistance = 10000;
    EXPECT_EQ(at(350), kNone);
    run.core.RemainingDistance = 50000;
    run.core.Speed = kmh(1);
    EXPECT_EQ(at(350), kNone);
}

TEST(Gradient, MeanOfTheLastCarsSamplesOnePer20Metres) {
    vantrel::Run run;
    run.train.cars = 3;
    run.limits.current_gradient = 100000;  // 10 per mille
    run.core.Distance = 2000;              // exactly 20 m: no sample
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, 0);
    run.core.Distance = 2001;
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, 33333);  // (10 + 0 + 0) / 3
    run.core.Distance = 3000;
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, 33333);
    run.limits.current_gradient = 25000;  // 2.5 rounds to 2
    run.core.Distance = 4002;
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, 40000);  // (2 + 10 + 0) / 3
    run.limits.current_gradient = -35000;  // -3.5 rounds to -4
    run.core.Distance = 6003;
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, 26667);  // (-4 + 2 + 10) / 3
    run.core.Distance = 4002;  // backing up counts as well
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, -20000);  // (-4 - 4 + 2) / 3

    // A car count outside the history is held to it.
    run.train.cars = 50;
    run.core.Distance = 0;
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, -5000);  // (-4 - 4 - 4 + 2) / 20
    run.train.cars = 0;
    run.core.Distance = 3000;
    train_gradient_step(run);
    EXPECT_EQ(run.core.Gradient, -40000);
}

TEST(Gradient, DisplayShowsTheSlopeAndClearsInTheGaps) {
    vantrel::Run run;
    run.route.sign_images.resize(3);  // stop marker, rising, falling
    run.route.slopes = {{.gradient = 25000, .start = 100, .end = 200},
                        {.gradient = 0, .start = 200, .end = 300},
                        {.gradient = -100000, .start = 400, .end = 500}};
    auto at = [&](int32_t frame) {
        run.core.Frame = frame;
        gradient_display_step(run);
    };
    at(150);
    EXPECT_EQ(run.view.SlopeImage, 1);
    EXPECT_EQ(run.view.SlopeText, "2.5");
    at(250);
    EXPECT_EQ(run.view.SlopeImage, 1);  // level keeps the sign
    EXPECT_EQ(run.view.SlopeText, "0.0");
    at(350);
    EXPECT_EQ(run.view.SlopeImage, -1);
    EXPECT_EQ(run.view.SlopeText, "");
    EXPECT_EQ(run.limits.current_gradient, 0);
    at(450);
    EXPECT_EQ(run.view.SlopeImage, 2);
    EXPECT_EQ(run.view.SlopeText, "-10.0");
    EXPECT_EQ(run.limits.current_gradient, -100000);
    at(600);
    EXPECT_EQ(run.view.SlopeImage, -1);
    EXPECT_EQ(run.limits.current_gradient, 0);
}

TEST(Gradient, AMissingSlopePictureIsNoPicture) {
    vantrel::Run run;
    run.route.sign_images.resize(2);  // the route brought the rising sign only
    run.route.slopes = {{.gradient = -50000, .start = 100, .end = 200},
                        {.gradient = 30000, .start = 300, .end = 400}};
    run.core.Frame = 150;
    gradient_display_step(run);
    EXPECT_EQ(run.view.SlopeImage, -1);
    EXPECT_EQ(run.view.SlopeText, "-5.0");
    run.core.Frame = 350;
    gradient_display_step(run);
    EXPECT_EQ(run.view.SlopeImage, 1);
    EXPECT_EQ(run.view.SlopeText, "3.0");
}

}  // namespace
}  // namespace vantrel
