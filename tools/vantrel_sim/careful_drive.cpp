#include "vantrel_sim/careful_drive.hpp"

#include <fstream>

#include "driving/careful_driver.hpp"
#include "driving/listening_driver.hpp"

namespace vantrel::sim {

std::optional<CarefulDrive> careful_drive(const SimOptions& options, int32_t frames, std::ostream& err) {
    if (options.route.empty()) {
        err << "vantrel-sim: --drive needs a route\n";
        return std::nullopt;
    }
    const driving::DriveScript drive = options.by_ear
        ? driving::derive_drive_by_ear(options.data_dir, options.train, options.route, frames).drive
        : driving::derive_drive(options.data_dir, options.train, options.route, frames);
    if (drive.script.empty() && !drive.error.empty()) {
        err << "vantrel-sim: the " << (options.by_ear ? "listening" : "careful") << " driver cannot drive: " << drive.error << "\n";
        return std::nullopt;
    }
    // A drive that stopped short (an emergency, the last station never reached) is still
    // replayed: its report says where it went wrong.
    if (!drive.error.empty()) err << "vantrel-sim: the " << (options.by_ear ? "listening" : "careful") << " driver: " << drive.error << "\n";
    std::ofstream out(options.drive, std::ios::binary);
    out << drive.script;
    if (!out.flush()) {
        err << "vantrel-sim: cannot write " << options.drive << "\n";
        return std::nullopt;
    }
    return CarefulDrive{options.drive, drive.end_ms};
}

}  // namespace vantrel::sim
