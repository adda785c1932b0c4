#include "common/numbers.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "common/fixed_point.hpp"

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

// value x 10000 rounded to nearest, ties to even, from the digits of a number that
// parse_decimal accepted; nullopt when the digits are too many to do it exactly.
std::optional<int64_t> decimal_ten_thousandths(std::string_view text) {
    std::string_view s = trim_blanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::string digits;  // mantissa without the point, leading zeros dropped
    long long exponent = 0;  // value = digits x 10^exponent
    size_t i = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char ch = s[i];
        if (ch == '.' && !point) {
            point = true;
        } else if (ch >= '0' && ch <= '9') {
            if (!(digits.empty() && ch == '0')) digits.push_back(ch);
            if (point) exponent -= 1;
            if (digits.size() > 40) return std::nullopt;
        } else {
            break;
        }
    }
    if (i < s.size()) {
        if (s[i] != 'e' && s[i] != 'E') return std::nullopt;
        int32_t e = 0;
        std::string_view rest = s.substr(i + 1);
        if (!rest.empty() && rest.front() == '+') rest.remove_prefix(1);
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), e);
        if (ec != std::errc{} || end != rest.data() + rest.size()) return std::nullopt;
        exponent += e;
    }
    if (digits.empty()) return 0;
    exponent += 4;
    if (exponent >= 0) {
        if (exponent + static_cast<long long>(digits.size()) > 19) return std::nullopt;
        digits.append(static_cast<size_t>(exponent), '0');
        exponent = 0;
    }
    const long long drop = -exponent;  // digits below the unit
    if (drop > static_cast<long long>(digits.size())) return 0;  // less than a tenth of a unit
    const size_t keep = digits.size() - static_cast<size_t>(drop);
    if (keep > 18) return std::nullopt;
    int64_t whole = 0;
    for (size_t k = 0; k < keep; ++k) whole = whole * 10 + (digits[k] - '0');
    if (drop > 0) {
        const char first = digits[keep];
        const bool rest_zero = digits.find_first_not_of('0', keep + 1) == std::string::npos;
        if (first > '5' || (first == '5' && (!rest_zero || whole % 2 != 0))) whole += 1;
    }
    return negative ? -whole : whole;
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
    // Rounded on the decimal digits themselves: "4.73585" is a tie and goes to even,
    // whatever side of it its binary value falls.
    if (const auto exact = decimal_ten_thousandths(text)) return *exact;
    return round_store(scaled);
}

}  // namespace vantrel
