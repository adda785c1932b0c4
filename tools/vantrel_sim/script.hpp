#pragma once
// The runner's input script: "<time_ms> <command> [argument]" per line, "#" comments.
#include <cstdint>
#include <istream>
#include <string>
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

using ScriptAction = std::variant<StartCommand, KeyCommand, VirtualKeyCommand, WheelCommand, StationCommand>;

struct ScriptCommand {
    int64_t time_ms = 0;
    ScriptAction action;
};

// Parses a script; the error names the line. Times must not decrease.
[[nodiscard]] Result<std::vector<ScriptCommand>> parse_script(std::istream& in, const std::string& name);

}  // namespace vantrel::sim
