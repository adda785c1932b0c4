#pragma once
// Small shared helpers: the comma field of the data files, the notch clamp of the
// controllers and the end point of a clock hand.
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// Field n (1 = first) of a comma-separated line; "Error" when the line has fewer
// fields, empty for n <= 0. Lines are UTF-8, so a comma is never part of a character.
[[nodiscard]] std::string comma_field(std::string_view line, int32_t n);

// Limits a requested notch (positive power, negative brake) to the train's range.
[[nodiscard]] int32_t notch_clamp(int32_t request, int32_t power_notches, int32_t brake_notches);

// Tip of a clock hand of length r drawn from `base` at `angle` radians (0 = up).
[[nodiscard]] int64_t hand_point_x(int32_t r, int32_t base, long double angle);
[[nodiscard]] int64_t hand_point_y(int32_t r, int32_t base, long double angle);

}  // namespace vantrel
