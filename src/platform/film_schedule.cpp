#include "platform/film_schedule.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel {

std::vector<int32_t> planned_film_frames(const FilmSchedule& s) {
    std::vector<int32_t> plan;
    if (s.wanted < 0 || s.wanted >= s.length) return plan;
    const int dir = s.direction < 0 ? -1 : 1;
    // Where the train will be at each presentation: its position past `wanted` grows by the
    // step, which follows the trend; below a frame a presentation every frame is planned.
    double travelled = std::clamp(s.phase, 0.0, 0.999);
    for (int32_t k = 0; k <= std::max(0, s.ahead); ++k) {
        const int64_t f = s.wanted + dir * static_cast<int64_t>(std::floor(travelled));
        if (f < 0 || f >= s.length) break;
        if (plan.empty() || plan.back() != f) plan.push_back(static_cast<int32_t>(f));
        travelled += std::max(1.0, s.step + s.trend * k);
    }
    return plan;
}

int32_t next_film_frame(const FilmSchedule& s, const std::function<bool(int32_t)>& ready,
                        const std::function<int32_t(int32_t)>& group_start) {
    const std::vector<int32_t> plan = planned_film_frames(s);
    if (s.direction >= 0) {
        for (const int32_t f : plan)
            if (!ready(f)) return f;
        return -1;
    }
    // Backwards, frames come in batches of half the plan, each decoded upwards from its keyframe
    // once and served downwards: a new batch is begun only when fewer than half are ready.
    const auto count = static_cast<int64_t>(plan.size());
    const int64_t batch = std::max<int64_t>(1, std::max(0, s.ahead) / 2);
    for (int64_t i = 0; i < count; ++i) {
        const int32_t f = plan[static_cast<size_t>(i)];
        if (ready(f)) continue;
        if (i > batch) return -1;
        const int32_t deepest = plan[static_cast<size_t>(std::min(i + batch, count - 1))];
        const int32_t low = std::max(group_start(f), deepest);
        for (int64_t j = count - 1; j > i; --j) {  // lowest first
            const int32_t h = plan[static_cast<size_t>(j)];
            if (h >= low && !ready(h)) return h;
        }
        return f;
    }
    return -1;
}

}  // namespace vantrel
