#pragma once
// State of the joystick and serial controllers: what outlives a driving window (the
// chosen controller type, the last polled state, the calibration codes) and what one
// run holds (the serial code table, the live echo, the debug caption switch).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

enum class ControllerType : int32_t {
    Standard = 0,     // keyboard, wheel and serial controller; no joystick polling
    Windows = 1,      // power from the Y axis, brake from the X axis
    PlayStation = 2,  // power and brake from the calibration codes
};

// Calibration values in their stored order: P0..P5, B0..B8, EB.
inline constexpr std::array<std::string_view, 16> kCalibrationNames{
    "P0", "P1", "P2", "P3", "P4", "P5", "B0", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8", "EB"};
inline constexpr int kCalibrationPowerCount = 6;  // P0..P5; B0..EB follow

// Owned by the program, not by a driving window: it survives closing and reopening the
// window. The calibration codes are re-read into it at every window start-up.
struct JoystickControl {
    ControllerType type = ControllerType::Standard;
    int32_t last_state_sum = 0;  // state sum of the last poll acted on
    std::array<int32_t, 16> calibration{};  // kCalibrationNames order
};

// The controller file: one received code per slot, in file order.
struct MasconTable {
    static constexpr int kSlots = 26;
    std::array<std::string, kSlots> codes;  // UTF-8, stored whole (no trimming)
    int32_t count = 0;                      // slots read from the file; the rest never match
};

// Per driving window.
struct ControllerRunState {
    MasconTable mascon;
    std::string value_caption;  // value display window caption: the last chunk received (UTF-8)
    bool debug = false;         // the debug menu item: the caption shows the joystick axes
};

}  // namespace vantrel
