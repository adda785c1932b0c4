#pragma once
// Fixed-point quantities: signed 64-bit ten-thousandths, computed in long double
// and stored through one rounding helper (nearest, ties to even).
#include <cmath>
#include <cstdint>
#include <limits>

namespace vantrel {

inline constexpr int64_t kFixedOne = 10000;

namespace detail {

// 2^(p - 1) for a mantissa of p bits: from there on every long double is a whole number.
constexpr long double whole_number_threshold() {
    long double v = 1.0L;
    for (int i = 1; i < std::numeric_limits<long double>::digits; ++i) v *= 2.0L;
    return v;
}

}  // namespace detail

// Rounds a finite value to the nearest whole number, ties to even, exactly as nearbyintl in
// the default rounding mode, at a fraction of its cost (it runs several times per tick):
// adding and taking away 2^(p-1) leaves no fraction bits, so the addition itself rounds.
[[nodiscard]] inline long double round_half_even(long double value) {
    constexpr long double kMagic = detail::whole_number_threshold();
    if (value >= 0) return value >= kMagic ? value : (value + kMagic) - kMagic;
    return value <= -kMagic ? value : (value - kMagic) + kMagic;
}

// Rounds to nearest with ties to even. Non-finite values store as 0 and values
// beyond the int64 range saturate, so a bad data file cannot cause overflow UB.
[[nodiscard]] inline int64_t round_store(long double value) {
    if (!std::isfinite(value)) return 0;
    const long double r = round_half_even(value);
    if (r >= 9.2233720368547758e18L) return std::numeric_limits<int64_t>::max();
    if (r <= -9.2233720368547758e18L) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

// The same rounding for 32-bit results (angles, volumes, frames, currents).
[[nodiscard]] inline int32_t round_int(long double value) {
    if (!std::isfinite(value)) return 0;
    const long double r = round_half_even(value);
    if (r >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

// A fixed-point value in its real unit (km/h, N, kPa, t, per mille).
[[nodiscard]] inline long double real(int64_t fixed) { return static_cast<long double>(fixed) / 10000.0L; }

}  // namespace vantrel
