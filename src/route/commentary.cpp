#include "route/commentary.hpp"

#include "app/run.hpp"

namespace vantrel {

void kanko_queue_add(Run&, int) {}
void kanko_queue_add_slot(Run&, int32_t) {}
void kanko_queue_play(Run&) {}
void kanko_add(Run&, int32_t) {}
void kanko_station_add(Run&, int32_t) {}
void commentary_request(Run&) {}
void event_hook_step(Run&) {}
void D1Click(Run&) {}

}  // namespace vantrel
