#pragma once
// The first joystick-type train controller as the logic polls it.
#include <array>
#include <cstdint>

namespace vantrel {

struct JoystickState {
    int32_t x = 0;  // -32768 .. 32767, dead zone applied
    int32_t y = 0;
    std::array<bool, 16> buttons{};
};

class JoystickReader {
public:
    virtual ~JoystickReader() = default;
    // False (and a zero state) when no controller is attached or the read fails.
    virtual bool poll(JoystickState& out) = 0;
};

// Dead zone of the axes: raw values within +-1638 (5 %) read 0, the rest is stretched
// back to the full range (truncating).
[[nodiscard]] constexpr int32_t apply_dead_zone(int32_t raw) {
    constexpr int32_t kZone = 1638;
    if (raw > kZone) return (raw - kZone) * 100 / 95;
    if (raw < -kZone) return (raw + kZone) * 100 / 95;
    return 0;
}

class NullJoystickReader final : public JoystickReader {
public:
    bool poll(JoystickState& out) override {
        out = {};
        return false;
    }
};

}  // namespace vantrel
