#pragma once
// The program's own picture reader for the tools, which need only the sizes: a picture the
// program cannot open is refused by the tools too. Free of Qt headers for the tools' sake.
#include <memory>

#include "cab/picture_loader.hpp"

namespace vantrel {

[[nodiscard]] std::unique_ptr<PictureLoader> make_picture_size_reader();

}  // namespace vantrel
