#pragma once
// The air brake: five pressures moved by the notches in force, and the compressor.
namespace vantrel {

struct Run;

void brake_pressure_step(Run& run);  // 33 ms tick: the train's brake type, then BcGauge
void compressor_step(Run& run);      // 100 ms step

}  // namespace vantrel
