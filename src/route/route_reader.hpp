#pragma once
// Reads a route file (CP932) into the route tables and derives distances, marks,
// stop points and the Move-menu entries.
#include <string>

#include "common/path_resolver.hpp"
#include "common/result.hpp"
#include "cab/picture_loader.hpp"
#include "route/route_tables.hpp"

namespace vantrel {

// `stop_line` is the train's stop-marker picture, index 0 of SignImageList.
[[nodiscard]] Result<RouteTables> read_route_file(const std::string& file, const PathResolver& resolver,
                                                  PictureLoader& pictures, const PictureRef& stop_line);

}  // namespace vantrel
