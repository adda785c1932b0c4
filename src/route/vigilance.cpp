#include "route/vigilance.hpp"

#include "app/run.hpp"

namespace vantrel {

void vigilance_step(Run&) {}
void driver_action(Run&) {}

}  // namespace vantrel
