#pragma once
// Reads a route file (CP932) into the route tables and derives distances, marks,
// stop points and the Move-menu entries.
#include <string>

#include "common/path_resolver.hpp"
#include "common/problems.hpp"
#include "common/result.hpp"
#include "cab/picture_loader.hpp"
#include "route/route_tables.hpp"

namespace vantrel {

// `stop_line` is the train's stop-marker picture, index 0 of SignImageList. With
// `problems` every problem is collected there and the tables read so far are returned
// (an error only when the file cannot be read at all).
[[nodiscard]] Result<RouteTables> read_route_file(const std::string& file, const PathResolver& resolver,
                                                  PictureLoader& pictures, const PictureRef& stop_line,
                                                  ProblemSink* problems = nullptr);

}  // namespace vantrel
