#pragma once
// The video frame as the train's position: frame advance, filmed speed, distance
// re-synchronisation, and the preceding train.
#include <cstdint>

namespace vantrel {

struct Run;
struct RouteTables;

void advance_video(Run& run);            // 33 ms tick, step 5
void advance_preceding_train(Run& run);  // 33 ms tick, step 9

// How far the train is from `Frame` towards the next frame in its direction, 0..1 (the frame
// accumulator over `FilmedSpeed`). Read by the window to mix pictures; the run never uses it.
[[nodiscard]] double frame_fraction(const Run& run);
// Frames the train moves a tick at its present speed (0 standing).
[[nodiscard]] double frames_per_tick(const Run& run);

// Distance in cm of frame x through the filming-speed table.
[[nodiscard]] long double frame_distance(const RouteTables& route, long double x);

}  // namespace vantrel
