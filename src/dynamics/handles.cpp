#include "dynamics/handles.hpp"

#include "app/run.hpp"

namespace vantrel {

bool lever_towards_power(Run&) { return false; }
bool lever_towards_brake(Run&, bool) { return false; }
void lever_to_emergency(Run&) {}
void power_up(Run&) {}
void power_down(Run&) {}
bool brake_release_step(Run&) { return false; }
bool brake_apply_step(Run&) { return false; }
bool brake_to_emergency(Run&) { return false; }
void set_power_position(Run&, int32_t) {}
void set_brake_position(Run&, int32_t) {}
void set_reverser(Run&, int32_t) {}
void mark_handles_changed(Run&) {}
void masconupdate(Run&) {}
void power_delay_step(Run&) {}
void brake_delay_steps(Run&) {}
void reset_handles(Run&) {}

}  // namespace vantrel
