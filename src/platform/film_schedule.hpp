#pragma once
// Which frame the film's decoder thread makes next: the wanted one, then those the train will
// want at the coming presentations, in its direction of travel; backwards in batches, each
// decoded upwards once.
#include <cstdint>
#include <functional>
#include <vector>

namespace vantrel {

struct FilmSchedule {
    int32_t wanted = -1;  // the frame the run wants now
    int32_t length = 0;   // frames in the film
    int direction = 1;    // +1 forwards or standing, -1 backwards
    double step = 1;      // frames the train moves between two presentations (below 1: every frame)
    double phase = 0;     // how far the train is past `wanted` towards the next frame, 0..1
    double trend = 0;     // change of `step` per presentation (speeding up or slowing down)
    int32_t ahead = 8;    // how many presentations to prepare ahead
};

// The frames the train will show at the next `ahead` presentations, `wanted` first, each once,
// inside the film.
[[nodiscard]] std::vector<int32_t> planned_film_frames(const FilmSchedule& s);

// The next frame to decode and convert, or -1 when everything planned is ready.
[[nodiscard]] int32_t next_film_frame(const FilmSchedule& s, const std::function<bool(int32_t)>& ready,
                                      const std::function<int32_t(int32_t)>& group_start);

}  // namespace vantrel
