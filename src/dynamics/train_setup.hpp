#pragma once
// The train's state at the end of start-up, after all files are read.
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

struct Run;

inline constexpr std::string_view kTooFewBrakeNotches = "ブレーキの段数を3段以上に設定してください";

// Applies the post-processing of the train record and the initial run state.
// Returns the brake-notch message when the train cannot run, else nullopt.
std::optional<std::string> init_train_state(Run& run);

}  // namespace vantrel
