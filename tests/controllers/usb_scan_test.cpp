#include <gtest/gtest.h>

#include <optional>

#include "controllers/controller_fixture.hpp"
#include "controllers/usb_scan.hpp"

using namespace vantrel;
using Posted = std::vector<std::string>;

namespace {

struct UsbScanTest : vantrel::test::ControllerFixture {
    JoystickControl control;
    void scan(int32_t x, int32_t y, std::initializer_list<int> pressed = {}) {
        JoystickState s;
        s.x = x;
        s.y = y;
        for (int b : pressed) s.buttons[static_cast<size_t>(b)] = true;
        USBScan(run, s, control);
    }
};

// Hands out a fixed state and counts the polls.
struct FakeReader final : JoystickReader {
    JoystickState state;
    bool attached = true;
    int polls = 0;
    bool poll(JoystickState& out) override {
        ++polls;
        out = attached ? state : JoystickState{};
        return attached;
    }
};

}  // namespace

TEST(JoystickAxes, DeadZoneReadsZeroAndStretchesTheRestToTheFullRange) {
    struct Case {
        int32_t raw, read;
    };
    for (const Case c : {Case{0, 0}, {1638, 0}, {-1638, 0}, {1639, 1}, {-1639, -1}, {1733, 100}, {-1733, -100},
                         {32767, 32767}, {-32768, -32768}}) {
        EXPECT_EQ(apply_dead_zone(c.raw), c.read) << c.raw;
    }
}

TEST(JoystickCodes, ButtonAndBrakeCodesSplitTheSixteenButtons) {
    JoystickState s;
    s.buttons[0] = s.buttons[3] = true;    // 1 + 8
    s.buttons[8] = s.buttons[15] = true;   // 16 + 2048
    s.buttons[4] = s.buttons[7] = true;    // brake 1 + 8
    EXPECT_EQ(button_code(s), 1 + 8 + 16 + 2048);
    EXPECT_EQ(brake_code(s), 1 + 8);
    s.x = -300;
    s.y = 7;
    EXPECT_EQ(state_sum(s), -300 + 7 + 2073 + 9);
}

TEST(JoystickCodes, WindowsBandsLeaveTheEdgesUnassigned) {
    struct Case {
        int32_t axis;
        std::optional<int32_t> request;
    };
    for (const Case c : {Case{32767, 0}, {0, 0}, {-1, 1}, {-4999, 1}, {-5000, std::nullopt}, {-5001, 2},
                         {-12000, std::nullopt}, {-12001, 3}, {-20000, std::nullopt}, {-25000, 4},
                         {-30000, std::nullopt}, {-30001, 6}, {-32768, 6}}) {
        EXPECT_EQ(windows_power_request(c.axis), c.request) << "Y " << c.axis;
    }
    for (const Case c : {Case{-32768, 0}, {0, 0}, {1, -1}, {999, -1}, {1000, std::nullopt}, {1001, -2},
                         {4000, std::nullopt}, {5000, -3}, {7000, -4}, {9000, -5}, {9500, std::nullopt},
                         {10000, -6}, {11500, -7}, {12500, -8}, {13000, std::nullopt}, {13001, -9},
                         {32767, -9}}) {
        EXPECT_EQ(windows_brake_request(c.axis), c.request) << "X " << c.axis;
    }
}

TEST_F(UsbScanTest, WindowsTopBandsAreClampedToTheTrain) {
    control.type = ControllerType::Windows;
    struct Case {
        int32_t power_notches, brake_notches, x, y, power, brake;
    };
    for (const Case c : {Case{4, 8, 14000, -31000, 4, -8}, Case{6, 10, 14000, -31000, 6, -9},
                         Case{5, 8, 5000, -15000, 3, -3}, Case{2, 8, 500, -15000, 2, -1}}) {
        run.train.power_notches = c.power_notches;
        run.train.brake_notches = c.brake_notches;
        set_handles(0, 0);
        control.last_state_sum = 0;
        scan(c.x, c.y);
        EXPECT_EQ(run.core.PowerHandle, c.power) << c.y << " on P" << c.power_notches;
        EXPECT_EQ(run.core.BrakeHandle, c.brake) << c.x << " on B" << c.brake_notches;
        EXPECT_TRUE(run.handles.power_pending && run.handles.brake_pending && run.handles.sap_pending);
    }
}

TEST_F(UsbScanTest, WindowsReadingOnABandEdgeLeavesThatHandleAlone) {
    control.type = ControllerType::Windows;
    set_handles(2, -3);
    scan(6000, -5000);  // both on an edge
    EXPECT_EQ(run.core.PowerHandle, 2);
    EXPECT_EQ(run.core.BrakeHandle, -3);
    EXPECT_FALSE(run.handles.power_pending || run.handles.brake_pending || run.handles.sap_pending);
    EXPECT_EQ(control.last_state_sum, 1000);  // still acted on: the next equal poll is skipped
}

TEST_F(UsbScanTest, HeldButtonsPostOnceAndAgainWhenTheStateChanges) {
    control.type = ControllerType::Windows;
    scan(0, 0, {1});
    EXPECT_EQ(take_posted(), (Posted{"1"}));
    scan(0, 0, {1});  // held: same state sum
    EXPECT_EQ(take_posted(), (Posted{}));
    scan(0, 0, {1, 5});  // a second button: both again
    EXPECT_EQ(take_posted(), (Posted{"1", "s"}));
    scan(0, 0);
    scan(0, 0, {1});
    EXPECT_EQ(take_posted(), (Posted{"1"}));
    scan(0, 0, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(take_posted(), (Posted{"4", "1", "3", "7", "<13>", "s"}));
}

TEST_F(UsbScanTest, ChangesThatCancelInTheSumAreNotSeen) {
    control.type = ControllerType::Windows;
    scan(2000, -3000);
    EXPECT_EQ(run.core.BrakeHandle, -2);
    set_handles(0, 0);
    run.ats.vigilance_counter = 7;
    scan(3000, -4000);  // X up 1000, Y down 1000
    EXPECT_EQ(run.core.BrakeHandle, 0);
    EXPECT_EQ(run.ats.vigilance_counter, 7);
    scan(3001, -4000);
    EXPECT_EQ(run.core.BrakeHandle, -2);
    EXPECT_EQ(run.ats.vigilance_counter, 0);
}

TEST_F(UsbScanTest, PlayStationMatchesTheCalibrationCodesInOrder) {
    control.type = ControllerType::PlayStation;
    //             P0   P1   P2   P3   P4   P5   B0 B1 B2 B3 B4 B5 B6 B7 B8 EB
    control.calibration = {100, 200, 300, 400, 500, 600, 0, 1, 2, 3, 4, 5, 6, 7, 8, 15};
    scan(650, -50);  // power code 600 (P5, asks for 6: top notch 5), brake code 0
    EXPECT_EQ(run.core.PowerHandle, 5);
    EXPECT_EQ(run.core.BrakeHandle, 0);

    scan(300, 0, {4, 5});  // power code 300 (P2), brake code 3
    EXPECT_EQ(run.core.PowerHandle, 2);
    EXPECT_EQ(run.core.BrakeHandle, -3);

    scan(299, 0, {4, 5, 6, 7});  // no power code matches; brake code 15 is EB, clamp(-9) = -8
    EXPECT_EQ(run.core.PowerHandle, 2);
    EXPECT_EQ(run.core.BrakeHandle, -8);

    control.calibration[1] = 100;  // P0 and P1 equal: the first wins
    scan(100, 0);
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(take_posted(), (Posted{}));

    // The buttons add to the power code and post in their order.
    scan(0, 0, {1, 2, 3, 8, 9});
    EXPECT_EQ(take_posted(), (Posted{"1", "3", "7", "4", "r"}));
}

TEST_F(UsbScanTest, PlayStationWithoutCalibrationReleasesOnAllZeroCodes) {
    control.type = ControllerType::PlayStation;  // no stored codes: all 0
    scan(40, 0);  // power code 40: no match
    set_handles(3, -4);
    scan(40, -40);  // power code 0 and brake code 0
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(run.core.BrakeHandle, 0);
}

TEST_F(UsbScanTest, StandardTypeNeverPollsAndAFailedReadIsAllZeros) {
    FakeReader reader;
    reader.state.y = -6000;
    USBScan(run, reader, control);
    EXPECT_EQ(reader.polls, 0);

    control.type = ControllerType::Windows;
    USBScan(run, reader, control);
    EXPECT_EQ(reader.polls, 1);
    EXPECT_EQ(run.core.PowerHandle, 2);

    reader.attached = false;  // pulled out: zeros, so notch 0
    USBScan(run, reader, control);
    EXPECT_EQ(run.core.PowerHandle, 0);
}

TEST_F(UsbScanTest, DebugCaptionFollowsTheAxesUntilSwitchedOff) {
    control.type = ControllerType::Windows;
    run.has_route = true;
    run.route.line_name = "試験線";
    run.view.caption = "試験線";
    scan(5, -7);
    EXPECT_EQ(run.view.caption, "試験線");
    EXPECT_TRUE(debug1Click(run));
    scan(1200, -31000);
    EXPECT_EQ(run.view.caption, "X:1200 Y:-31000");
    EXPECT_FALSE(debug1Click(run));
    EXPECT_EQ(run.view.caption, "試験線");
}
