#include "controllers/usb_scan.hpp"

#include <array>
#include <string>

#include "app/run.hpp"
#include "common/common_utilities.hpp"
#include "dynamics/handles.hpp"

namespace vantrel {
namespace {

struct ButtonKey {
    int button;
    char key;
};

// In the order they are posted.
constexpr std::array<ButtonKey, 5> kPlayStationKeys{{{9, '1'}, {1, '3'}, {2, '7'}, {3, '4'}, {8, 'r'}}};
constexpr std::array<ButtonKey, 4> kWindowsKeys{{{0, '4'}, {1, '1'}, {2, '3'}, {3, '7'}}};
constexpr int kWindowsEnterButton = 4;  // commentary request
constexpr int kWindowsGearUpButton = 5;

// Notches asked for by the matching calibration code: P5 asks for 6, the top notch.
constexpr std::array<int32_t, kCalibrationPowerCount> kPlayStationPower{0, 1, 2, 3, 4, 6};

constexpr std::array<int32_t, 4> kPowerEdges{-5000, -12000, -20000, -30000};
constexpr std::array<int32_t, 8> kBrakeEdges{1000, 4000, 6000, 8000, 9500, 11000, 12000, 13000};

void post_char(Run& run, char c) { run.posted.push_back({false, static_cast<unsigned char>(c)}); }

void set_power(Run& run, int32_t request) {
    set_power_position(run, notch_clamp(request, run.train.power_notches, run.train.brake_notches));
}

void set_brake(Run& run, int32_t request) {
    set_brake_position(run, notch_clamp(request, run.train.power_notches, run.train.brake_notches));
}

void play_station(Run& run, const JoystickState& s, const JoystickControl& control) {
    const int32_t power_code = s.x + s.y + button_code(s);
    for (int i = 0; i < kCalibrationPowerCount; ++i) {
        if (power_code == control.calibration[static_cast<size_t>(i)]) {
            set_power(run, kPlayStationPower[static_cast<size_t>(i)]);
            break;
        }
    }
    const int32_t brake = brake_code(s);
    for (size_t i = kCalibrationPowerCount; i < control.calibration.size(); ++i) {
        if (brake == control.calibration[i]) {
            set_brake(run, -static_cast<int32_t>(i - kCalibrationPowerCount));
            break;
        }
    }
    for (const ButtonKey& b : kPlayStationKeys) {
        if (s.buttons[static_cast<size_t>(b.button)]) post_char(run, b.key);
    }
}

void windows(Run& run, const JoystickState& s) {
    if (const auto p = windows_power_request(s.y)) set_power(run, *p);
    if (const auto b = windows_brake_request(s.x)) set_brake(run, *b);
    for (const ButtonKey& b : kWindowsKeys) {
        if (s.buttons[static_cast<size_t>(b.button)]) post_char(run, b.key);
    }
    if (s.buttons[kWindowsEnterButton]) post_enter(run);
    if (s.buttons[kWindowsGearUpButton]) post_char(run, 's');
}

}  // namespace

int32_t button_code(const JoystickState& s) {
    int32_t code = 0;
    for (int i = 0; i < 4; ++i) code |= s.buttons[static_cast<size_t>(i)] ? 1 << i : 0;
    for (int i = 8; i < 16; ++i) code |= s.buttons[static_cast<size_t>(i)] ? 1 << (i - 4) : 0;
    return code;
}

int32_t brake_code(const JoystickState& s) {
    int32_t code = 0;
    for (int i = 4; i < 8; ++i) code |= s.buttons[static_cast<size_t>(i)] ? 1 << (i - 4) : 0;
    return code;
}

int32_t state_sum(const JoystickState& s) { return s.x + s.y + button_code(s) + brake_code(s); }

std::optional<int32_t> windows_power_request(int32_t y) {
    if (y >= 0) return 0;
    for (size_t i = 0; i < kPowerEdges.size(); ++i) {
        if (y == kPowerEdges[i]) return std::nullopt;
        if (y > kPowerEdges[i]) return static_cast<int32_t>(i) + 1;
    }
    return 6;
}

std::optional<int32_t> windows_brake_request(int32_t x) {
    if (x <= 0) return 0;
    for (size_t i = 0; i < kBrakeEdges.size(); ++i) {
        if (x == kBrakeEdges[i]) return std::nullopt;
        if (x < kBrakeEdges[i]) return -static_cast<int32_t>(i) - 1;
    }
    return -9;
}

void USBScan(Run& run, const JoystickState& state, JoystickControl& control) {
    if (control.type == ControllerType::Standard) return;
    const int32_t sum = state_sum(state);
    if (sum == control.last_state_sum) return;
    run.ats.vigilance_counter = 0;
    if (control.type == ControllerType::PlayStation) play_station(run, state, control);
    if (control.type == ControllerType::Windows) windows(run, state);
    masconupdate(run);
    if (run.controllers.debug)
        run.view.caption = "X:" + std::to_string(state.x) + " Y:" + std::to_string(state.y);
    control.last_state_sum = sum;
}

void USBScan(Run& run, JoystickReader& reader, JoystickControl& control) {
    if (control.type == ControllerType::Standard) return;
    JoystickState state;
    if (!reader.poll(state)) state = {};  // a failed read counts as all zeros
    USBScan(run, state, control);
}

bool debug1Click(Run& run) {
    run.controllers.debug = !run.controllers.debug;
    if (!run.controllers.debug && run.has_route) run.view.caption = run.route.line_name;
    return run.controllers.debug;
}

}  // namespace vantrel
