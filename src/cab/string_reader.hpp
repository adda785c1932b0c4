#pragma once
// Reads the string file of interface texts.
#include <string>

#include "common/path_resolver.hpp"
#include "common/problems.hpp"
#include "common/result.hpp"
#include "cab/strings.hpp"

namespace vantrel {

// With `problems`, a file that cannot be read and every value holding bytes that are
// not CP932 (shown as replacement marks) are noted there as well.
[[nodiscard]] Result<Strings> read_string_file(const std::string& file, const PathResolver& resolver,
                                               ProblemSink* problems = nullptr);

}  // namespace vantrel
