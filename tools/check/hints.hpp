#pragma once
// What an author can do about each kind of problem, by its code.
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::check {

[[nodiscard]] std::string hint_for(std::string_view code);

// Every code the checker can report.
[[nodiscard]] std::vector<std::string_view> known_codes();

}  // namespace vantrel::check
