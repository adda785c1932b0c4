#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "common/fixed_point.hpp"

namespace {

using vantrel::round_half_even;
using vantrel::round_int;
using vantrel::round_store;

// The helpers as they were written over nearbyintl: the fast rounding must match them bit for bit.
int64_t reference_store(long double v) {
    if (!std::isfinite(v)) return 0;
    const long double r = std::nearbyintl(v);
    if (r >= 9.2233720368547758e18L) return std::numeric_limits<int64_t>::max();
    if (r <= -9.2233720368547758e18L) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(r);
}

int32_t reference_int(long double v) {
    if (!std::isfinite(v)) return 0;
    const long double r = std::nearbyintl(v);
    if (r >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

void expect_same(long double v) {
    if (std::isfinite(v)) {
        ASSERT_EQ(round_half_even(v), std::nearbyintl(v)) << static_cast<double>(v);
    }
    ASSERT_EQ(round_store(v), reference_store(v)) << static_cast<double>(v);
    ASSERT_EQ(round_int(v), reference_int(v)) << static_cast<double>(v);
}

}  // namespace

TEST(FixedPoint, RoundingMatchesNearbyintOnTiesEdgesAndRandomValues) {
    using L = std::numeric_limits<long double>;
    const long double two63 = std::ldexp(1.0L, 63);
    std::vector<long double> values{0.0L, -0.0L, 0.5L, 1.5L, 2.5L, -0.5L, -1.5L, -2.5L, 0.49999999999999999L,
                                    L::denorm_min(), -L::denorm_min(), L::min(), L::max(), -L::max(),
                                    L::infinity(), -L::infinity(), L::quiet_NaN(), L::epsilon(),
                                    2147483646.5L, 2147483647.5L, -2147483648.5L, -2147483647.5L,
                                    9.2233720368547758e18L, -9.2233720368547758e18L, two63, -two63,
                                    two63 - 0.5L, -two63 + 0.5L, std::ldexp(1.0L, 64), std::ldexp(1.0L, 62) + 0.5L};
    // Ties and their neighbours at every magnitude, both signs.
    for (int e = 0; e <= 66; ++e) {
        const long double base = std::ldexp(1.0L, e);
        for (long double d : {-1.0L, 0.0L, 1.0L, 2.0L})
            for (long double f : {0.5L, 0.25L, 0.75L}) {
                values.push_back(base + d + f);
                values.push_back(-(base + d + f));
                values.push_back(std::nextafter(base + d + f, 0.0L));
                values.push_back(std::nextafter(-(base + d + f), 0.0L));
            }
    }
    std::mt19937_64 random(13);
    std::uniform_int_distribution<int> exponent(-70, 70);
    std::uniform_int_distribution<int64_t> whole(-1000000000, 1000000000);
    for (int i = 0; i < 200000; ++i) {
        const long double mantissa = static_cast<long double>(random()) / std::ldexp(1.0L, 64);
        values.push_back(std::ldexp(i % 2 ? mantissa : -mantissa, exponent(random)));
        // Quantities as the run makes them: ten-thousandths scaled by a ratio.
        values.push_back(static_cast<long double>(whole(random)) / 10000.0L * 9.8L);
        values.push_back(static_cast<long double>(whole(random)) + 0.5L);
    }
    for (long double v : values) expect_same(v);
}
