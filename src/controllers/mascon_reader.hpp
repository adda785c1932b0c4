#pragma once
// Reads the controller file of the serial master controller: its code table.
#include <optional>
#include <string>
#include <string_view>

#include "common/path_resolver.hpp"
#include "common/problems.hpp"
#include "common/result.hpp"
#include "controllers/controller_state.hpp"

namespace vantrel {

inline constexpr std::string_view kMasconFile = "mascon.dat";

// Lines up to the first line beginning with "#" (or the end), at most 26, each stored
// whole in the next slot. A file that cannot be read gives the system's error text.
// With `problems` the unreadable file is noted there too, and so is every line past the
// table's 26 slots (which the program ignores).
[[nodiscard]] Result<MasconTable> read_mascon_file(std::string_view file, const PathResolver& resolver,
                                                   ProblemSink* problems = nullptr);

// The data folder's controller file into `table`, when there is one: without it the serial
// controller has no codes and a player without one still drives. One that is there but
// cannot be read is an error.
[[nodiscard]] std::optional<DataError> read_mascon_if_present(MasconTable& table, const PathResolver& resolver);

}  // namespace vantrel
