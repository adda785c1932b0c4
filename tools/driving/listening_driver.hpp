#pragma once
// A driver who listens: it knows nothing of the run but what the cab says (the speech log
// as it grows) and the handles it moved itself. It asks for the speed, the limits and the
// distance to the stop point with the request keys and drives like the careful driver;
// its inputs are a vantrel-sim script, so the drive replays in the runner.
#include <cstdint>
#include <filesystem>
#include <string>

#include "driving/careful_driver.hpp"

namespace vantrel::driving {

struct HeardDrive {
    DriveScript drive;
    std::string speech_log;  // every utterance the driver heard
};

[[nodiscard]] HeardDrive derive_drive_by_ear(const std::filesystem::path& data_dir, const std::string& train,
                                             const std::string& route, int32_t frames);

}  // namespace vantrel::driving
