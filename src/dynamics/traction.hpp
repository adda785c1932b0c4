#pragma once
// Tractive effort: electric notch curves, the diesel gears and engine, the ammeter.
namespace vantrel {

struct Run;

void electric_effort(Run& run);         // 33 ms tick
void diesel_gear_selection(Run& run);   // 33 ms tick, automatic gears only
void diesel_effort(Run& run);           // 33 ms tick
void gear_change_wait(Run& run);        // 33 ms tick
void engine_output_step(Run& run);      // 100 ms step, diesel only (with the gear fall-back)
void ammeter_step(Run& run);            // 100 ms step
void gear_up(Run& run);                 // manual shifting
void gear_down(Run& run);

}  // namespace vantrel
