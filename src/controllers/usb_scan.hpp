#pragma once
// Joystick-type train controllers: one poll turned into handle positions and posted keys.
// Timer1Timer polls the run's reader after the engine output and before the needles; the
// keys it posts are handled after the step (drain_posted).
#include <cstdint>
#include <optional>

#include "controllers/controller_state.hpp"
#include "controllers/joystick_reader.hpp"

namespace vantrel {

struct Run;

// Buttons 0..3 and 8..15 as bits 0..11 (buttons 4..7 are the brake code).
[[nodiscard]] int32_t button_code(const JoystickState& s);
// Buttons 4..7 as bits 0..3.
[[nodiscard]] int32_t brake_code(const JoystickState& s);
// X + Y + button code + brake code: a poll is acted on only when this changed.
[[nodiscard]] int32_t state_sum(const JoystickState& s);

// Windows controller bands; nullopt for a reading exactly on a band edge (left as it was).
// Power: 0 for Y >= 0, up to 6 (the top band, clamped by the caller) for a handle pulled.
[[nodiscard]] std::optional<int32_t> windows_power_request(int32_t y);
// Brake: 0 for X <= 0, -1 .. -8, then -9 (clamped by the caller).
[[nodiscard]] std::optional<int32_t> windows_brake_request(int32_t x);

// One poll of an already read state. Does nothing for ControllerType::Standard or when
// the state sum is unchanged; otherwise resets the vigilance counter, sets the handles,
// posts the button characters (and Enter) to run.posted, calls masconupdate and, with
// the debug switch on, writes "X:<x> Y:<y>" to the window caption.
void USBScan(Run& run, const JoystickState& state, JoystickControl& control);
// Polls the reader first; the Standard type never polls.
void USBScan(Run& run, JoystickReader& reader, JoystickControl& control);

// The debug menu item: toggles the axis caption; switching it off restores the line name.
// Returns the new state.
bool debug1Click(Run& run);

}  // namespace vantrel
