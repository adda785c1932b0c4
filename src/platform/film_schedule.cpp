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
    for (int64_t k = 0; k <= ahead; ++k) {
        const int64_t f = s.wanted - k * stride;
        if (f < 0) break;
        if (ready(static_cast<int32_t>(f))) continue;
        // Decoding runs forwards: start at the lowest missing frame of f's group that is planned,
        // so the group is decoded once and served backwards.
        const int64_t low = std::max<int64_t>(group_start(static_cast<int32_t>(f)), s.wanted - ahead * stride);
        for (int64_t j = (s.wanted - std::max<int64_t>(low, 0)) / stride; j > k; --j) {
            const int64_t h = s.wanted - j * stride;
            if (h >= low && h >= 0 && !ready(static_cast<int32_t>(h))) return static_cast<int32_t>(h);
        }
        return static_cast<int32_t>(f);
    }
    return -1;
}

}  // namespace vantrel
