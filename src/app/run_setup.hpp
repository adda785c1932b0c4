#pragma once
// The start-up of a run: reads the train, route and string files in the program's
// order, opens the video, loads the sounds and sets the initial state.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/path_resolver.hpp"
#include "common/result.hpp"
#include "cab/picture_loader.hpp"

namespace vantrel {

struct Run;

struct RunFiles {
    std::string train;    // train file name, as a data file would write it
    std::string route;    // empty: no route (level track, doors closed, no signals)
    std::string strings;  // empty: the texts stay empty
};

// Receives the status texts of the start-up as each step begins.
using ProgressFn = std::function<void(std::string_view)>;

// On failure returns the error to report; the run must not be used then.
[[nodiscard]] std::optional<DataError> load_run(Run& run, const RunFiles& files, const PathResolver& resolver,
                                                PictureLoader& pictures, const ProgressFn& progress = {});

}  // namespace vantrel
