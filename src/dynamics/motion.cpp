#include "dynamics/motion.hpp"

#include "app/run.hpp"

namespace vantrel {

void MMTimer1Timer(Run&) {}
void dynamics_step(Run&) {}

}  // namespace vantrel
