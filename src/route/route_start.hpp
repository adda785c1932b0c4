#pragma once
// The route's part of the start state, and the per-run tables sized from the route.
namespace vantrel {

struct Run;

void apply_route_start(Run& run);

}  // namespace vantrel
