#pragma once
// The video frame as the train's position: frame advance, filmed speed, distance
// re-synchronisation, and the preceding train.
#include <cstdint>

namespace vantrel {

struct Run;
struct RouteTables;

void advance_video(Run& run);            // 33 ms tick, step 5
void advance_preceding_train(Run& run);  // 33 ms tick, step 9

// Distance in cm of frame x through the filming-speed table.
[[nodiscard]] long double frame_distance(const RouteTables& route, long double x);

}  // namespace vantrel
