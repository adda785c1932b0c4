#pragma once
// The values of a route file a run can compute with. The reader refuses the others
// with the route file's error, so the run's sums never leave their integer types.
#include <cstdint>

namespace vantrel {

inline constexpr int32_t kRouteSoundCount = 500;  // the route sound list's capacity
inline constexpr int32_t kMaxRouteSpeed = 9999;   // km/h, aspect speeds and limits
// Times that set the clock ([StartTime], a station's departure-sound time) lie within
// two days of midnight (a night timetable runs past 24:00), so a day of driving adds
// to them without overflow.
inline constexpr int32_t kMaxTimeOfDay = 2 * 24 * 108000;

// A route sound index plays on the channel (train sounds + index).
[[nodiscard]] constexpr bool route_sound_in_range(int32_t i) { return i >= 0 && i < kRouteSoundCount; }
[[nodiscard]] constexpr bool time_in_range(int32_t ticks) { return ticks >= 0 && ticks <= kMaxTimeOfDay; }
[[nodiscard]] constexpr bool aspect_speed_in_range(int32_t kmh) { return kmh >= 0 && kmh <= kMaxRouteSpeed; }
// A limit below 1 km/h would make a distance mark of the same form as a signal's.
[[nodiscard]] constexpr bool speed_limit_in_range(int32_t kmh) { return kmh >= 1 && kmh <= kMaxRouteSpeed; }

}  // namespace vantrel
