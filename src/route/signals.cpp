#include "route/signals.hpp"

#include "app/run.hpp"

namespace vantrel {

void signal_aspects(Run&) {}
void signal_ahead(Run&) {}

}  // namespace vantrel
