#include "route/limits.hpp"

#include "app/run.hpp"

namespace vantrel {

void speed_limit_blink(Run&) {}
void speed_limits_step(Run&) {}
void speed_checks_step(Run&) {}
void signs_step(Run&) {}
void train_gradient_step(Run&) {}
void gradient_display_step(Run&) {}

}  // namespace vantrel
