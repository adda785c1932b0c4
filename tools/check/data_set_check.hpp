#pragma once
// Checks a whole data set in one pass: every file it holds or names, through the
// program's own readers in their collecting mode.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/problems.hpp"

namespace vantrel::check {

// A train and the route it is driven on, as a title button or the data set pairs them.
using Pairing = std::pair<std::string, std::string>;

struct CheckOutcome {
    std::vector<Problem> problems;  // grouped by file, each file's in line order, with hints
    std::vector<Pairing> pairs;     // the pairs whose files both loaded
};

// With `drive`, every pair is also driven headless by the careful driver (slow: a whole
// run each).
[[nodiscard]] CheckOutcome check_data_set(const std::filesystem::path& dir, bool drive = false);

// The title window's buttons: each train (and its Shift alternate) with its route.
[[nodiscard]] std::vector<Pairing> title_pairs();

}  // namespace vantrel::check
