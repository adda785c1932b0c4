#pragma once
// Reads a train file (CP932) into the train parameter record and its cab panel.
#include <string>

#include "common/path_resolver.hpp"
#include "common/problems.hpp"
#include "common/result.hpp"
#include "cab/picture_loader.hpp"
#include "dynamics/train_params.hpp"

namespace vantrel {

// `file` is resolved through `resolver`; pictures are opened through `pictures`. With
// `problems` every problem is collected there and the values read so far are returned
// (an error only when the file cannot be read at all).
[[nodiscard]] Result<TrainParams> read_train_file(const std::string& file, const PathResolver& resolver,
                                                  PictureLoader& pictures, ProblemSink* problems = nullptr);

}  // namespace vantrel
