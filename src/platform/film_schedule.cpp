#include "platform/film_schedule.hpp"

#include <algorithm>

namespace vantrel {

int32_t next_film_frame(const FilmSchedule& s, const std::function<bool(int32_t)>& ready,
                        const std::function<int32_t(int32_t)>& group_start) {
    if (s.wanted < 0 || s.wanted >= s.length) return -1;
    const int64_t stride = std::max(1, s.stride);
    const int64_t ahead = std::max(0, s.ahead);
    if (s.direction >= 0) {
        for (int64_t k = 0; k <= ahead; ++k) {
            const int64_t f = s.wanted + k * stride;
            if (f >= s.length) break;
            if (!ready(static_cast<int32_t>(f))) return static_cast<int32_t>(f);
        }
        return -1;
    }
    // Backwards, frames come in batches of half the plan, each decoded upwards from its keyframe
    // once and served downwards: a new batch is begun only when fewer than half are ready.
    const int64_t batch = std::max<int64_t>(1, ahead / 2);
    for (int64_t k = 0; k <= ahead; ++k) {
        const int64_t f = s.wanted - k * stride;
        if (f < 0) break;
        if (ready(static_cast<int32_t>(f))) continue;
        if (k > batch) return -1;
        const int64_t low = std::max<int64_t>(group_start(static_cast<int32_t>(f)), f - batch * stride);
        for (int64_t j = (s.wanted - std::max<int64_t>(low, 0)) / stride; j > k; --j) {  // lowest first
            const int64_t h = s.wanted - j * stride;
            if (h >= low && h >= 0 && !ready(static_cast<int32_t>(h))) return static_cast<int32_t>(h);
        }
        return static_cast<int32_t>(f);
    }
    return -1;
}

}  // namespace vantrel
