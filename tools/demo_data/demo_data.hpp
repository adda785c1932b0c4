#pragma once
// The demo data set: a playable train, route, string file, pictures and sounds,
// written as real data files (CP932 text, bitmaps, waves) into a folder.
#include <filesystem>
#include <string>

namespace vantrel::demo {

inline constexpr const char* kTrainFile = "train_demo.dat";
inline constexpr const char* kRouteFile = "line_demo.dat";
inline constexpr const char* kStringFile = "vantrel.dat";
inline constexpr const char* kScriptFile = "demo_run.txt";
inline constexpr int kVideoFrames = 10500;

// Returns an empty string on success, else what could not be written.
[[nodiscard]] std::string write_demo_data(const std::filesystem::path& dir);

}  // namespace vantrel::demo
