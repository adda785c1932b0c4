#pragma once
// The checker's output: readable text with a summary line, or one JSON object.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/problems.hpp"

namespace vantrel::check {

// How many train and route pairs were checked together, and driven.
struct PairCount {
    std::size_t checked = 0;
    int driven = 0;
    bool drive = false;  // driving was asked for
};

[[nodiscard]] std::string text_report(const std::vector<Problem>& problems, std::optional<PairCount> pairs = {});
[[nodiscard]] std::string json_report(const std::vector<Problem>& problems, std::optional<PairCount> pairs = {});

// 0 clean, 1 warnings only, 2 errors.
[[nodiscard]] int exit_status(const std::vector<Problem>& problems);

}  // namespace vantrel::check
