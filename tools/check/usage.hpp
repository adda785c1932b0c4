#pragma once
// The checker's command line, shown on a usage error and documented in vantrel-check(1).
#include <string_view>

namespace vantrel::check {

inline constexpr std::string_view kUsage = "usage: vantrel-check [DIR] [--json] [--drive] [--pair TRAIN ROUTE]...\n";
inline constexpr int kExitUsage = 64;

}  // namespace vantrel::check
