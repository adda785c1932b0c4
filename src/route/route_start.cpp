#include "route/route_start.hpp"

#include "app/run.hpp"

namespace vantrel {

void apply_route_start(Run&) {}

}  // namespace vantrel
