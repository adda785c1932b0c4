#pragma once
// The serial master controller's received-characters handler: each chunk is matched in
// five-byte codes against the controller file's slots 0..21.
#include <string_view>

namespace vantrel {

struct Run;

inline constexpr int kMasconCodeLength = 5;
inline constexpr int kMasconUsedSlots = 22;

// Counts as a driver action, echoes the chunk to run.controllers.value_caption, then for
// each complete five-byte code of the chunk in order (a chunk shorter than five bytes:
// the chunk itself) every slot whose code equals it (CP932, as the file) acts: power
// and brake positions, reverser, or a character posted to run.posted (drain_posted
// handles it afterwards). `bytes` are the raw bytes of one read of the port.
void RxChar(Run& run, std::string_view bytes);

}  // namespace vantrel
