// The cab view's lamp rules, gear indicator, timetable card, stop marker and speed read-out,
// as the 100 ms step sets them.
#include <gtest/gtest.h>

#include <string>

#include "app/run.hpp"
#include "cab/instruments.hpp"
#include "common/fixed_point.hpp"

namespace {

using namespace vantrel;

constexpr int64_t kmh(double v) { return static_cast<int64_t>(v * 10000); }

// A train of five power and eight brake notches (emergency -8) that loses its electric
// brake below 10 km/h, with two gear pictures, a 100-pixel timetable card and seven
// "[Others]" pictures.
struct InstrumentsTest : ::testing::Test {
    vantrel::Run run;
    void SetUp() override {
        run.train.power_notches = 5;
        run.train.brake_notches = 8;
        run.train.lose_elec = 10;
        run.train.panel.gears.pictures.resize(3);
        run.route.card.width = 100;
        run.core.TractionCut = false;
    }
};

TEST_F(InstrumentsTest, LampRulesFollowNotchesDoorsAndSpeed) {
    struct Case {
        const char* name;
        bool doors_open;
        int32_t power_notch, brake_notch, brake_handle;
        bool hold;
        int64_t resistance, speed;
        // Lamp_Power, Lamp_Gen, Lamp_Ele, Lamp_Air
        bool power, gen, ele, air;
    };
    const Case cases[] = {
        {"standing, released", false, 0, 0, 0, false, 0, 0, false, false, false, false},
        {"powering", false, 2, 0, 0, false, 0, kmh(30), true, false, true, false},
        {"power notch with doors open", true, 2, 0, 0, false, 0, kmh(30), false, false, false, false},
        {"service brake above lose_elec", false, 0, -3, -3, false, 0, kmh(30), false, true, true, true},
        {"service brake at lose_elec", false, 0, -3, -3, false, 0, kmh(10), false, false, false, true},
        {"service brake just above lose_elec", false, 0, -3, -3, false, 0, kmh(10) + 1, false, true, true, true},
        {"first service notch", false, 0, -1, -1, false, 0, kmh(30), false, true, true, true},
        {"last service notch", false, 0, -7, -7, false, 0, kmh(30), false, true, true, true},
        {"emergency", false, 0, -8, -8, false, 0, kmh(30), false, false, false, false},
        {"handle in emergency, notch still service", false, 0, -5, -8, false, 0, kmh(30), false, true, false, true},
        {"hold with resistance", false, 0, 0, 0, true, 1, kmh(30), false, true, false, false},
        {"hold without resistance", false, 0, 0, 0, true, 0, kmh(30), false, false, false, false},
        {"hold below lose_elec", false, 0, 0, 0, true, 1, kmh(5), false, false, false, false},
        {"powering and braking: power wins the Ele lamp", false, 1, -3, -3, false, 0, kmh(5), true, false, true, true},
        {"doors open, service brake", true, 0, -3, -3, false, 0, kmh(30), false, true, true, true},
    };
    for (const Case& c : cases) {
        run.core.TractionCut = c.doors_open;
        run.core.PowerNotch = c.power_notch;
        run.core.BrakeNotch = c.brake_notch;
        run.core.BrakeHandle = c.brake_handle;
        run.core.HoldPosition = c.hold;
        run.core.ResistanceForce = c.resistance;
        run.core.Speed = c.speed;
        instruments_step(run);
        EXPECT_EQ(run.view.Lamp_Power, c.power) << c.name;
        EXPECT_EQ(run.view.Lamp_Gen, c.gen) << c.name;
        EXPECT_EQ(run.view.Lamp_Ele, c.ele) << c.name;
        EXPECT_EQ(run.view.Lamp_Air, c.air) << c.name;
    }
}

TEST_F(InstrumentsTest, GearIndicatorShowsTheGearWhilePoweringAndPictureZeroOtherwise) {
    struct Step {
        int32_t power_notch, gear;
        bool changing;
        int picture;
    };
    // Gear 0 is picture 1, gear 1 picture 2; gear 2 has no picture (beyond the list).
    const Step steps[] = {{0, 0, false, 0}, {1, 0, false, 1}, {1, 1, false, 2}, {1, 1, true, 0},
                          {1, 1, false, 2}, {1, 2, false, -1}, {0, 2, false, 0}, {2, 0, false, 1}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        run.core.PowerNotch = steps[i].power_notch;
        run.traction.gear = steps[i].gear;
        run.traction.gear_changing = steps[i].changing;
        instruments_step(run);
        EXPECT_EQ(run.view.Lamp_Gear, steps[i].picture) << "step " << i;
    }
    // A train without gear pictures draws none.
    run.train.panel.gears.pictures.clear();
    run.core.PowerNotch = 0;
    instruments_step(run);
    EXPECT_EQ(run.view.Lamp_Gear, -1);
}

TEST_F(InstrumentsTest, TimetableCardSlidesThirtyPixelsATickAndStopsExactly) {
    std::string lefts;
    run.keys.card_wanted = true;
    for (int i = 0; i < 5; ++i) {
        instruments_step(run);
        lefts += std::to_string(run.view.card_left) + " ";
    }
    run.keys.card_wanted = false;
    for (int i = 0; i < 5; ++i) {
        instruments_step(run);
        lefts += std::to_string(run.view.card_left) + " ";
    }
    EXPECT_EQ(lefts, "610 580 550 540 540 570 600 630 640 640 ");
}

TEST_F(InstrumentsTest, StopMarkerFollowsTheRemainingDistance) {
    struct Case {
        long double remaining;  // cm
        int top;
    };
    // 232 - round(r / 100 x 1.2); out of sight from 200 m, at the bottom beyond 100 m past.
    for (const Case c : {Case{30000, -20}, {20000, -20}, {19999, -8}, {10000, 112}, {0, 232}, {-5000, 292},
                         {-9999, 352}, {-10001, 366}}) {
        run.core.RemainingDistance = c.remaining;
        stopline_step(run);
        EXPECT_EQ(run.view.stopline_top, c.top) << static_cast<double>(c.remaining);
    }
    run.core.RemainingDistance = -10000;  // exactly -100 m: left where it was
    stopline_step(run);
    EXPECT_EQ(run.view.stopline_top, 366);
}

TEST_F(InstrumentsTest, SpeedReadOutIsWholeKilometresPerHour) {
    struct Case {
        int64_t speed;
        const char* text;
    };
    for (const Case c : {Case{0, "0km/h"}, {kmh(12.4), "12km/h"}, {kmh(12.5), "12km/h"}, {kmh(13.5), "14km/h"},
                         {kmh(99.6), "100km/h"}, {kmh(-3.2), "-3km/h"}}) {
        run.core.Speed = c.speed;
        speed_readout(run);
        EXPECT_EQ(run.view.digi_speed, c.text);
    }
}

TEST_F(InstrumentsTest, OthersHiddenAtTheBuildAreShownFromTheFirstTick) {
    run.view.Others = {true, true, true, true, true, false, false};
    instruments_step(run);
    EXPECT_EQ(run.view.Others, std::vector<bool>(7, true));
}

}  // namespace
