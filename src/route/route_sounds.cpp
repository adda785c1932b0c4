#include "route/route_sounds.hpp"

#include "app/run.hpp"

namespace vantrel {

void sound_triggers_step(Run&) {}
void announcements_step(Run&) {}
void doppler_step(Run&) {}
void tunnels_step(Run&) {}
void announce_next(Run&) {}
void announce_back(Run&) {}

}  // namespace vantrel
