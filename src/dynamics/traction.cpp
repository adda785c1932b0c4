#include "dynamics/traction.hpp"

#include "app/run.hpp"

namespace vantrel {

void electric_effort(Run&) {}
void diesel_gear_selection(Run&) {}
void diesel_effort(Run&) {}
void gear_change_wait(Run&) {}
void engine_output_step(Run&) {}
void ammeter_step(Run&) {}
void gear_up(Run&) {}
void gear_down(Run&) {}

}  // namespace vantrel
