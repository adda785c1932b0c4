#pragma once
// The vigilance device and what every driver action does to it.
namespace vantrel {

struct Run;

void vigilance_step(Run& run);  // 100 ms, after the station work
// Any key, wheel notch or controller input: counter 0, alarm bell stopped, Lamp_EB hidden.
void driver_action(Run& run);

}  // namespace vantrel
