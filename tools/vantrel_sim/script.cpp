#include "vantrel_sim/script.hpp"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <sstream>

namespace vantrel::sim {
namespace {

bool parse_virtual_key(std::string name, VirtualKeyCommand& out) {
    if (name.rfind("shift+", 0) == 0) {
        out.shift = true;
        name = name.substr(6);
    }
    if (name == "Enter") {
        out.key = VirtualKey::Enter;
        return true;
    }
    if (name == "ScrollLock") {
        out.key = VirtualKey::ScrollLock;
        return true;
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int n = 0;
        const auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
        if (ec == std::errc{} && end == name.data() + name.size() && n >= 1 && n <= 12) {
            out.key = static_cast<VirtualKey>(static_cast<int32_t>(VirtualKey::F1) + n - 1);
            return true;
        }
    }
    return false;
}

// One character: itself, "space", "hash" ('#' starts a comment) or a code "0x1b".
std::optional<char> parse_key(const std::string& arg) {
    if (arg.size() == 1) return arg[0];
    if (arg == "space") return ' ';
    if (arg == "hash") return '#';
    if (arg.size() == 4 && arg.starts_with("0x")) {
        unsigned code = 0;
        const auto [end, ec] = std::from_chars(arg.data() + 2, arg.data() + 4, code, 16);
        if (ec == std::errc{} && end == arg.data() + 4) return static_cast<char>(code);
    }
    return std::nullopt;
}

// A whole decimal number within [low, high].
std::optional<int32_t> parse_int(const std::string& text, int32_t low, int32_t high) {
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || v < low || v > high)
        return std::nullopt;
    return v;
}

// Bytes in hex, two digits each, at least one byte.
std::optional<std::string> parse_hex(const std::string& text) {
    if (text.empty() || text.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, v, 16);
        if (ec != std::errc{} || end != text.data() + i + 2) return std::nullopt;
        bytes += static_cast<char>(v);
    }
    return bytes;
}

constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

// The controller commands; an empty error on success.
std::string parse_controller_command(const std::string& cmd, const std::vector<std::string>& args,
                                     ScriptAction& out) {
    if (cmd == "serial") {
        const auto bytes = args.size() == 1 ? parse_hex(args[0]) : std::nullopt;
        if (!bytes) return "bad serial bytes (hex, two digits a byte)";
        out = SerialCommand{*bytes};
    } else if (cmd == "joystick") {
        if (args.size() != 3) return "joystick takes x, y and the button mask";
        const auto x = parse_int(args[0], -32768, 32767);
        const auto y = parse_int(args[1], -32768, 32767);
        const auto buttons = parse_int(args[2], 0, 0xFFFF);
        if (!x || !y || !buttons) return "bad joystick state";
        out = JoystickCommand{*x, *y, *buttons};
    } else if (cmd == "controller") {
        if (args.empty() || args.size() > 2) return "controller takes a type and an optional state sum";
        const auto type = parse_int(args[0], 0, 2);
        ControllerCommand c;
        if (!type) return "bad controller type";
        c.type = *type;
        if (args.size() == 2 && !(c.last_state_sum = parse_int(args[1], kInt32Min, kInt32Max)))
            return "bad state sum";
        out = c;
    } else if (cmd == "calibration") {
        CalibrationCommand c;
        if (args.size() != c.codes.size()) return "calibration takes 16 codes";
        for (size_t i = 0; i < c.codes.size(); ++i) {
            const auto v = parse_int(args[i], kInt32Min, kInt32Max);
            if (!v) return "bad calibration code";
            c.codes[i] = *v;
        }
        out = c;
    } else {
        return "unknown command";
    }
    return {};
}

}  // namespace

Result<std::vector<ScriptCommand>> parse_script(std::istream& in, const std::string& name) {
    std::vector<ScriptCommand> commands;
    std::string line;
    int number = 0;
    int64_t last = 0;
    auto fail = [&](const std::string& why) { return DataError{"script: " + why, name, number}; };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string w; words >> w;) {
            if (w[0] == '#') break;
            tokens.push_back(w);
        }
        if (tokens.empty()) continue;
        ScriptCommand c;
        const std::string& t = tokens[0];
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), c.time_ms);
        if (ec != std::errc{} || end != t.data() + t.size() || c.time_ms < 0) return fail("bad time '" + t + "'");
        if (c.time_ms < last) return fail("time goes backwards");
        last = c.time_ms;
        if (tokens.size() < 2) return fail("missing command");
        const std::string& cmd = tokens[1];
        if (std::find(kScriptCommands.begin(), kScriptCommands.end(), cmd) == kScriptCommands.end())
            return fail("unknown command '" + line + "'");
        const std::string arg = tokens.size() > 2 ? tokens[2] : std::string();
        if (cmd == "serial" || cmd == "joystick" || cmd == "controller" || cmd == "calibration") {
            const std::vector<std::string> args(tokens.begin() + 2, tokens.end());
            const std::string why = parse_controller_command(cmd, args, c.action);
            if (!why.empty()) return fail(why);
            commands.push_back(std::move(c));
            continue;
        }
        if (tokens.size() > 3) return fail("too many words");
        if (cmd == "start" && arg.empty()) {
            c.action = StartCommand{};
        } else if (cmd == "key") {
            const auto key = parse_key(arg);
            if (!key) return fail("bad key '" + arg + "'");
            c.action = KeyCommand{*key};
        } else if (cmd == "vk") {
            VirtualKeyCommand vk;
            if (!parse_virtual_key(arg, vk)) return fail("unknown virtual key '" + arg + "'");
            c.action = vk;
        } else if (cmd == "wheel" && (arg == "up" || arg == "down")) {
            c.action = WheelCommand{arg == "up"};
        } else if (cmd == "station") {
            int32_t index = 0;
            const auto [e, err] = std::from_chars(arg.data(), arg.data() + arg.size(), index);
            if (arg.empty() || err != std::errc{} || e != arg.data() + arg.size()) return fail("bad station index");
            c.action = StationCommand{index};
        } else {
            return fail("unknown command '" + line + "'");
        }
        commands.push_back(std::move(c));
    }
    return commands;
}

}  // namespace vantrel::sim
