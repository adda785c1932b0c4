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
    std::vector<Pairing> pairs;     // the pairs whose files both loaded, checked together
    int driven = 0;                 // of those, the pairs the careful driver drove
};

struct CheckOptions {
    bool drive = false;           // drive every pair headless (slow: a whole run each)
    std::vector<Pairing> pairs;   // the pairs to check; none: the title window's, else all
};

// The pairs are the title window's buttons; a data set whose files use their own names
// has each train checked with each route, or with the pairs the author names.
[[nodiscard]] CheckOutcome check_data_set(const std::filesystem::path& dir, CheckOptions options = {});
[[nodiscard]] inline CheckOutcome check_data_set(const std::filesystem::path& dir, bool drive) {
    return check_data_set(dir, CheckOptions{.drive = drive, .pairs = {}});
}

// The title window's buttons: each train (and its Shift alternate) with its route.
[[nodiscard]] std::vector<Pairing> title_pairs();

}  // namespace vantrel::check
