#pragma once
// Signal display codes (indices into SignalImageList) and what each one means, shared by
// the signal drawing, the cab lamps and the three ATS variants.
#include <array>
#include <cstddef>
#include <cstdint>

#include "route/ats_state.hpp"

namespace vantrel {

inline constexpr int32_t kRawClear = 4;

enum class Aspect { None, R, YY, Y, YG, G };

// Display code of a raw aspect for a signal type. Raw values past clear come from the
// block walk (6 = three blocks free) and show as clear; below stop they show as stop.
[[nodiscard]] constexpr int32_t display_code(int32_t type, int32_t raw) {
    constexpr std::array<std::array<int32_t, 5>, 6> table{{
        {0, 1, 1, 1, 2},
        {3, 3, 4, 4, 4},
        {6, 6, 7, 7, 8},
        {9, 9, 10, 11, 12},
        {13, 14, 15, 15, 16},
        {17, 18, 19, 20, 21},
    }};
    const std::size_t row = (type >= 0 && type <= 4) ? static_cast<std::size_t>(type) : 5;
    const int32_t r = raw < 0 ? 0 : (raw > kRawClear ? kRawClear : raw);
    return table[row][static_cast<std::size_t>(r)];
}

[[nodiscard]] constexpr Aspect aspect_of(int32_t code) {
    switch (code) {
        case 0: case 3: case 6: case 9: case 13: case 17: return Aspect::R;
        case 14: case 18: return Aspect::YY;
        case 4: case 7: case 10: case 15: case 19: return Aspect::Y;
        case 11: case 20: return Aspect::YG;
        case 2: case 5: case 8: case 12: case 16: case 21: return Aspect::G;
        default: return Aspect::None;  // 1 (restricted repeater), 999 and anything else
    }
}

// The stop code a block signal of type 2 .. 5 shows; -1 for the other types.
[[nodiscard]] constexpr int32_t stop_code_of_type(int32_t type) {
    switch (type) {
        case 2: return 6;
        case 3: return 9;
        case 4: return 13;
        case 5: return 17;
        default: return -1;
    }
}

// A signal's run-time value. The table of values may be shorter than the signal table;
// a missing entry reads as clear and is never written.
[[nodiscard]] inline int32_t signal_value_at(const AtsState& ats, std::size_t i) {
    return i < ats.signal_value.size() ? ats.signal_value[i] : kRawClear;
}
inline void set_signal_value(AtsState& ats, std::size_t i, int32_t v) {
    if (i < ats.signal_value.size()) ats.signal_value[i] = v;
}

}  // namespace vantrel
