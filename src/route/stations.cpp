#include "route/stations.hpp"

#include "app/run.hpp"

namespace vantrel {

void Door_operate(Run&) {}
void door_closing_completion(Run&) {}
void stations_step(Run&) {}
void stop_alert_step(Run&) {}
void clock_step(Run&) {}
void timecalc(Run&, int32_t) {}
void Timekanko(Run&, int32_t) {}
void Timecheck(Run&, int32_t) {}
std::string clock_text(int32_t) { return {}; }
void StationClick(Run&, int32_t) {}

}  // namespace vantrel
