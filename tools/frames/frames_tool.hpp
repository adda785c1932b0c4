#pragma once
// vantrel-frames: a film's frames by number through the program's own reader and index.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

namespace vantrel::frames {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 64;  // as the other tools

// "0,5,4,300-310,299-250" as the frames in the order asked (a descending range counts down);
// nullopt on a malformed list or one longer than a million frames.
[[nodiscard]] std::optional<std::vector<int32_t>> parse_frame_list(std::string_view list);

int run_frames_tool(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace vantrel::frames
