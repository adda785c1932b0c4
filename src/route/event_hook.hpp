#pragma once
// The event hook of the 100 ms step: a text source that may put a caption on the
// caption strip ("0...") or name a wave to play on channel 255 ("1...").
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

struct Run;

// The event source of this system: it has nothing to say and returns an empty text.
[[nodiscard]] std::string event_source(const std::string& train_file, bool doors_open, bool ats_brake,
                                       bool ats_emergency, int32_t reverser, int32_t brake_handle,
                                       int32_t power_handle);

// Applies one tick's text of the source (event_hook_step with a given text).
void apply_event_text(Run& run, std::string_view text);

}  // namespace vantrel
