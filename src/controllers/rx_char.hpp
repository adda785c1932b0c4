#pragma once
// The serial master controller's received-characters handler: each chunk is searched for
// the five-byte codes of the controller file's slots 0..21.
#include <string_view>

namespace vantrel {

struct Run;

inline constexpr int kMasconCodeLength = 5;
inline constexpr int kMasconUsedSlots = 22;

// Counts as a driver action, echoes the chunk to run.controllers.value_caption, then for
// each five-byte code of slots 0..21 found in the chunk, in order and wherever it starts
// (a chunk shorter than five bytes: the chunk itself), every slot with that code (CP932,
// as the file) acts: power and brake positions, reverser, or a character posted to
// run.posted (drain_posted handles it afterwards). `bytes` are the raw bytes of one read
// of the port; line ends and other bytes between codes are passed over.
void RxChar(Run& run, std::string_view bytes);

}  // namespace vantrel
