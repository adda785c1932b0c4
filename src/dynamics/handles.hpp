#pragma once
// The driver's handle positions, the operations that move them, the delays that bring
// them into force and masconupdate, which refreshes the labels and notch pictures.
#include <cstdint>

namespace vantrel {

struct Run;

// One-lever handle ([Handle] 0). Each sets all three pending flags.
// Returns true when the brake step (step 3) was taken.
bool lever_towards_power(Run& run);
// Returns true when the brake step (step 2) was taken. With reach_emergency the last
// bound is emergency instead of the last service notch (the wheel).
bool lever_towards_brake(Run& run, bool reach_emergency = false);
void lever_to_emergency(Run& run);

// Two handles ([Handle] 1).
void power_up(Run& run);
void power_down(Run& run);
// Returns true when the handle moved.
bool brake_release_step(Run& run);
bool brake_apply_step(Run& run);
bool brake_to_emergency(Run& run);

// Controllers that set a position absolutely.
void set_power_position(Run& run, int32_t n);
void set_brake_position(Run& run, int32_t n);
void set_reverser(Run& run, int32_t r);  // only while |Speed| <= 1 km/h

// Marks all three changes pending (power, brake, straight-air pipe).
void mark_handles_changed(Run& run);

void masconupdate(Run& run);

// Delays of the 33 ms tick.
void power_delay_step(Run& run);
void brake_delay_steps(Run& run);  // brake and straight-air pipe

// Start-up and jump-to-station state of the handles and notches, then masconupdate.
void reset_handles(Run& run);

}  // namespace vantrel
