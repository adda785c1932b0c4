#pragma once
// Number fields of the data files. Surrounding ASCII blanks (space, tab) are ignored;
// anything else that is not part of the number rejects the field ("12a" fails).
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel {

// Decimal int32 with optional sign; nullopt when malformed or out of range.
[[nodiscard]] std::optional<int32_t> parse_int32(std::string_view text);

// Decimal number with "." and optional exponent, locale-independent.
[[nodiscard]] std::optional<long double> parse_decimal(std::string_view text);

// Decimal number stored as ten-thousandths, rounded to nearest (ties to even).
[[nodiscard]] std::optional<int64_t> parse_fixed4(std::string_view text);

}  // namespace vantrel
