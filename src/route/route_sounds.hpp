#pragma once
// Route sounds: triggers, Doppler sources, announcements and tunnels.
namespace vantrel {

struct Run;

void sound_triggers_step(Run& run);
void announcements_step(Run& run);  // automatic ([OneMan] 0)
void doppler_step(Run& run);
void tunnels_step(Run& run);
void announce_next(Run& run);  // one-man key "1"
void announce_back(Run& run);  // one-man key "-"

}  // namespace vantrel
