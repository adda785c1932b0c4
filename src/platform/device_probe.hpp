#pragma once
// The program's devices looked at once at start: a missing sound device or joystick is
// said on standard error, one line each, and the program runs on without it.
#include <ostream>

namespace vantrel {

void report_missing_devices(std::ostream& err);

}  // namespace vantrel
