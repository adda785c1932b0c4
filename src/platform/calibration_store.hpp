#pragma once
// The PlayStation-type controller's calibration codes, as a calibration tool left them in
// the user's settings (organisation "Vantrel", application "dgcontroller"; on Linux
// ~/.config/Vantrel/dgcontroller.conf, on Windows the registry). Never written here.
#include <array>
#include <cstdint>

namespace vantrel {

// Reads "P0" .. "EB" in order into `codes`, stopping at the first value that is missing
// or not an integer: the codes before it take their new values, the rest keep theirs.
// Returns how many were read.
int read_calibration(std::array<int32_t, 16>& codes);

}  // namespace vantrel
