#include "cab/instruments.hpp"

#include "app/run.hpp"

namespace vantrel {

void speed_readout(Run&) {}
void instruments_step(Run&) {}
void stopline_step(Run&) {}

}  // namespace vantrel
