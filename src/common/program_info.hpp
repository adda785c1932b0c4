#pragma once
// --help and --version, answered the same way by every program of the package: on
// standard output, with exit status 0.
#include <functional>
#include <optional>
#include <ostream>
#include <string_view>

namespace vantrel {

// The package's version, from the build's project version.
[[nodiscard]] std::string_view program_version();

// When the command line asks for --help (-h) or --version: the answer on `out` (the usage
// `usage` writes, or "NAME VERSION") and the status to exit with. Else nullopt.
[[nodiscard]] std::optional<int> answer_help_or_version(int argc, const char* const* argv, std::string_view name,
                                                        const std::function<void(std::ostream&)>& usage,
                                                        std::ostream& out);

}  // namespace vantrel
