#pragma once
// The checker's output: readable text with a summary line, or one JSON object.
#include <string>
#include <vector>

#include "common/problems.hpp"

namespace vantrel::check {

[[nodiscard]] std::string text_report(const std::vector<Problem>& problems);
[[nodiscard]] std::string json_report(const std::vector<Problem>& problems);

// 0 clean, 1 warnings only, 2 errors.
[[nodiscard]] int exit_status(const std::vector<Problem>& problems);

}  // namespace vantrel::check
