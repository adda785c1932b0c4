#pragma once
// Reads a train file (CP932) into the train parameter record and its cab panel.
#include <string>

#include "common/path_resolver.hpp"
#include "common/result.hpp"
#include "cab/picture_loader.hpp"
#include "dynamics/train_params.hpp"

namespace vantrel {

// `file` is resolved through `resolver`; pictures are opened through `pictures`.
[[nodiscard]] Result<TrainParams> read_train_file(const std::string& file, const PathResolver& resolver,
                                                  PictureLoader& pictures);

}  // namespace vantrel
