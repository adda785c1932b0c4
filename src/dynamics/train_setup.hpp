#pragma once
// The train's state at the end of start-up, after all files are read.
#include <optional>
#include <string>

namespace vantrel {

struct Run;

// Applies the post-processing of the train record and the initial run state.
// Returns the brake-notch message when the train cannot run, else nullopt.
std::optional<std::string> init_train_state(Run& run);

}  // namespace vantrel
