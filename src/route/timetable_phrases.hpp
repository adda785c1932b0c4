#pragma once
// The phrase slots that judge a stop against its scheduled time.
#include <array>
#include <cstdint>
#include <cstdlib>

namespace vantrel {

struct TimetablePhrases {
    int count = 0;
    std::array<int32_t, 2> slots{};
};

// d = ClockTicks - scheduled. Within 15 s "on time"; up to 2 min an amount in 15 s
// bands (none at exactly 15 s) and then "late" or "early"; beyond that nothing.
[[nodiscard]] constexpr TimetablePhrases timetable_phrases(int64_t d) {
    const int64_t a = d < 0 ? -d : d;
    TimetablePhrases p;
    if (a < 450) {
        p.slots[p.count++] = 17;
        return p;
    }
    if (a > 3600) return p;
    if (a > 450) p.slots[p.count++] = static_cast<int32_t>(6 + (a - 451) / 450);
    p.slots[p.count++] = d > 0 ? 13 : 15;
    return p;
}

}  // namespace vantrel
