#pragma once
// A careful driver for the demo routes: drives a run from the first station to the last
// (power, coast, brake to the stop point, doors on one-man routes, ATS confirmation,
// the vigilance device) and records its inputs as a vantrel-sim script. The run uses
// the runner's own sound layer, so the script replays the same drive in vantrel-sim.
#include <cstdint>
#include <filesystem>
#include <string>

namespace vantrel::driving {

struct DriveScript {
    std::string script;  // vantrel-sim script
    int64_t end_ms = 0;  // when the doors stood open at the last station
    std::string error;   // data error, or why the drive did not finish
};

[[nodiscard]] DriveScript derive_drive(const std::filesystem::path& data_dir, const std::string& train,
                                       const std::string& route, int32_t frames);

}  // namespace vantrel::driving
