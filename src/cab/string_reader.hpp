#pragma once
// Reads the string file of interface texts.
#include <string>

#include "common/path_resolver.hpp"
#include "common/result.hpp"
#include "cab/strings.hpp"

namespace vantrel {

[[nodiscard]] Result<Strings> read_string_file(const std::string& file, const PathResolver& resolver);

}  // namespace vantrel
