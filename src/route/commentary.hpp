#pragma once
// Commentary: the phrase queue on channel 254 and the requests that fill it.
#include <cstdint>

namespace vantrel {

struct Run;

void kanko_queue_add(Run& run, int wave);
void kanko_queue_add_slot(Run& run, int32_t slot);  // the wave of a phrase slot, if any
void kanko_queue_play(Run& run);  // end of every 100 ms step
void kanko_add(Run& run, int32_t which);
void kanko_station_add(Run& run, int32_t which);
void commentary_request(Run& run);  // the Enter key
void event_hook_step(Run& run);     // end of the 100 ms step
void D1Click(Run& run);

}  // namespace vantrel
