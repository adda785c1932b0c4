#include "app/numbers.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "app/fixed_point.hpp"

namespace vantrel {
namespace {

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// from_chars takes no leading "+"; a sign must be followed by a digit or ".".
bool strip_plus(std::string_view& s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() == '-' || s.front() == '+') return false;
    }
    return true;
}

}  // namespace

std::optional<int32_t> parse_int32(std::string_view text) {
    std::string_view s = trim_blanks(text);
    if (!strip_plus(s) || s.empty()) return std::nullopt;
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<long double> parse_decimal(std::string_view text) {
    std::string_view s = trim_blanks(text);
    if (!strip_plus(s) || s.empty()) return std::nullopt;
    long double value = 0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int64_t> parse_fixed4(std::string_view text) {
    const auto value = parse_decimal(text);
    if (!value) return std::nullopt;
    const long double scaled = *value * 10000.0L;
    // Beyond what an int64 holds the number is malformed for this field.
    if (std::fabs(scaled) >= 9.2e18L) return std::nullopt;
    return round_store(scaled);
}

}  // namespace vantrel
