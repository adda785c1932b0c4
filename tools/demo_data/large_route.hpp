#pragma once
// A long route for measurements: 100 stations, 500 signals and 500 distance marks,
// written beside the demo data set (whose pictures and sounds it uses).
#include <filesystem>
#include <string>

namespace vantrel::demo {

inline constexpr const char* kLargeRouteFile = "line_large.dat";
inline constexpr const char* kLargeScriptFile = "large_run.txt";
inline constexpr int kLargeVideoFrames = 200000;

// Writes the demo data set, the long route and a script that keeps the train running
// for `minutes`. Returns an empty string on success, else what could not be written.
[[nodiscard]] std::string write_large_route(const std::filesystem::path& dir, int minutes);

}  // namespace vantrel::demo
