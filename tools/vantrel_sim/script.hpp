#pragma once
// The runner's input script: "<time_ms> <command> [argument]" per line, "#" comments.
#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/result.hpp"
#include "input/keyboard.hpp"

namespace vantrel::sim {

struct StartCommand {};
struct KeyCommand { char key = 0; };
struct VirtualKeyCommand { VirtualKey key = VirtualKey::Enter; bool shift = false; };
struct WheelCommand { bool up = false; };
struct StationCommand { int32_t index = 0; };
struct SerialCommand { std::string bytes; };  // one chunk received from the serial controller
struct JoystickCommand { int32_t x = 0, y = 0, buttons = 0; };  // the state polls give from now on
struct ControllerCommand { int32_t type = 0; std::optional<int32_t> last_state_sum; };
struct CalibrationCommand { std::array<int32_t, 16> codes{}; };

using ScriptAction = std::variant<StartCommand, KeyCommand, VirtualKeyCommand, WheelCommand, StationCommand,
                                  SerialCommand, JoystickCommand, ControllerCommand, CalibrationCommand>;

// Every command a script may give, in the order vantrel-sim(1) lists them; the parser refuses
// any other word.
inline constexpr std::array<std::string_view, 9> kScriptCommands{
    "start", "key", "vk", "wheel", "station", "serial", "joystick", "controller", "calibration"};

struct ScriptCommand {
    int64_t time_ms = 0;
    ScriptAction action;
};

// Parses a script; the error names the line. Times must not decrease.
[[nodiscard]] Result<std::vector<ScriptCommand>> parse_script(std::istream& in, const std::string& name);

}  // namespace vantrel::sim
