#pragma once
// The serial master controller's received-characters handler: each chunk is one frame,
// matched on its first five bytes against the controller file's slots 0..21.
#include <string_view>

namespace vantrel {

struct Run;

inline constexpr int kMasconCodeLength = 5;
inline constexpr int kMasconUsedSlots = 22;

// Counts as a driver action, echoes the chunk to run.controllers.value_caption, then every
// slot whose code equals the chunk's first five bytes (CP932, as the file) acts: power
// and brake positions, reverser, or a character posted to run.posted (drain_posted
// handles it afterwards). `bytes` are the raw bytes of one read of the port.
void RxChar(Run& run, std::string_view bytes);

}  // namespace vantrel
