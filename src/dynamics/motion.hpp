#pragma once
// The two periodic steps that move the train: the 33 ms tick and the dynamics part
// of the 100 ms step.
namespace vantrel {

struct Run;

void MMTimer1Timer(Run& run);  // the whole 33 ms tick
void dynamics_step(Run& run);  // brake force, adhesion, resistance, speed integration

}  // namespace vantrel
