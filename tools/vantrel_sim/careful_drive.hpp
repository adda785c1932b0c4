#pragma once
// The runner's --drive: the careful driver drives the run, its inputs are saved as a
// script and then replayed like any other, so the saved file reproduces the drive.
#include <cstdint>
#include <optional>
#include <ostream>

#include "vantrel_sim/sim_run.hpp"

namespace vantrel::sim {

struct CarefulDrive {
    std::string script_file;  // the script as written
    int64_t end_ms = 0;       // the doors stand open at the last station
};

// Drives with the careful driver over a video of `frames` frames and writes the script
// to options.drive; nullopt (after a message on `err`) when it cannot.
[[nodiscard]] std::optional<CarefulDrive> careful_drive(const SimOptions& options, int32_t frames, std::ostream& err);

}  // namespace vantrel::sim
