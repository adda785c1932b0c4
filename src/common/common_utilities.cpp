#include "common/common_utilities.hpp"

#include <algorithm>
#include <cmath>

#include "common/fixed_point.hpp"

namespace vantrel {

std::string comma_field(std::string_view line, int32_t n) {
    std::string_view rest = line;
    std::string_view field;
    while (n > 0) {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            return n == 1 ? std::string(rest) : std::string("Error");
        }
        field = rest.substr(0, comma);
        rest = rest.substr(comma + 1);
        --n;
    }
    return std::string(field);
}

int32_t notch_clamp(int32_t request, int32_t power_notches, int32_t brake_notches) {
    if (request > 0) return std::min(request, power_notches);
    if (request < 0) return std::max(request, -brake_notches);
    return 0;
}

int64_t hand_point_x(int32_t r, int32_t base, long double angle) {
    return base + round_store(std::sin(angle) * r);
}

int64_t hand_point_y(int32_t r, int32_t base, long double angle) {
    return base + round_store(-std::cos(angle) * r);
}

}  // namespace vantrel
