#pragma once
// Joystick polls as a recorded drive holds them: the recorder watches the device's polls,
// the runner plays them back through a reader of its own.
#include <cstdint>
#include <functional>
#include <utility>

#include "controllers/joystick_reader.hpp"

namespace vantrel {

// Buttons 0..15 as bits 0..15.
[[nodiscard]] inline int32_t button_mask(const JoystickState& s) {
    int32_t mask = 0;
    for (size_t i = 0; i < s.buttons.size(); ++i) mask |= s.buttons[i] ? 1 << i : 0;
    return mask;
}

inline void set_button_mask(JoystickState& s, int32_t mask) {
    for (size_t i = 0; i < s.buttons.size(); ++i) s.buttons[i] = ((mask >> i) & 1) != 0;
}

// Gives the state last set, at every poll (zeros before the first).
class ScriptedJoystickReader final : public JoystickReader {
public:
    void set(const JoystickState& s) { state_ = s; }
    bool poll(JoystickState& out) override {
        out = state_;
        return true;
    }

private:
    JoystickState state_;
};

// Polls a device and tells the listener each state as the logic will use it (a failed
// read as zeros).
class ObservedJoystickReader final : public JoystickReader {
public:
    using Listener = std::function<void(const JoystickState&)>;
    ObservedJoystickReader(JoystickReader& device, Listener listener)
        : device_(device), listener_(std::move(listener)) {}
    bool poll(JoystickState& out) override {
        const bool ok = device_.poll(out);
        if (!ok) out = {};
        if (listener_) listener_(out);
        return ok;
    }

private:
    JoystickReader& device_;
    Listener listener_;
};

}  // namespace vantrel
