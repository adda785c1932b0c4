#pragma once
// Run-time state of the speed-limit, sign and gradient displays.
#include <array>
#include <cstdint>

#include "route/route_tables.hpp"

namespace vantrel {

struct LimitState {
    int32_t displayed_limit = 0;  // 0 none
    bool blinking = false;
    int32_t other_content = kNone;  // 999 nothing, a sign picture, 900/901 time-check prompt
    int64_t current_gradient = 0;   // per mille x 10000
    std::array<int32_t, 20> gradient_history{};  // per mille, newest first
    long double last_sample_distance = 0;         // cm
};

}  // namespace vantrel
