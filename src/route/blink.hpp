#pragma once
// The one-second blink of lamps and signs on the window timer's tick count.
#include <cstdint>

namespace vantrel {

// Shown on multiples of 10, hidden on the other multiples of 5, unchanged between.
inline void blink(int32_t window_ticks, bool& visible) {
    if (window_ticks % 10 == 0) {
        visible = true;
    } else if (window_ticks % 5 == 0) {
        visible = false;
    }
}

}  // namespace vantrel
