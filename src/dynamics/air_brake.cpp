#include "dynamics/air_brake.hpp"

#include "app/run.hpp"

namespace vantrel {

void brake_pressure_step(Run&) {}
void compressor_step(Run&) {}

}  // namespace vantrel
