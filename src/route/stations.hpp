#pragma once
// Station work, doors, stop alert, clock and the timetable judgement.
#include <cstdint>
#include <string>

namespace vantrel {

struct Run;

void Door_operate(Run& run);
void door_closing_completion(Run& run);  // 100 ms
void stations_step(Run& run);            // 100 ms
void stop_alert_step(Run& run);          // 100 ms
void clock_step(Run& run);               // 100 ms: every 10th tick timecalc(ClockTicks)
void timecalc(Run& run, int32_t ticks);  // Label3 and the clock hands
void Timekanko(Run& run, int32_t scheduled);
void Timecheck(Run& run, int32_t kind);

// "HH:MM:SS" of a tick count, hours not wrapped.
[[nodiscard]] std::string clock_text(int32_t ticks);

// Jump to a station (the Move menu): the train set down there, standing, in emergency.
void StationClick(Run& run, int32_t station);

}  // namespace vantrel
