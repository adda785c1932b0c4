#pragma once
// A run for the headless drivers: loaded from a data set, on the runner's own sound model
// and a video of a given length, so that the drive they derive replays in vantrel-sim.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/run.hpp"
#include "platform/wave_file.hpp"
#include "sound/sim_sound.hpp"

namespace vantrel::driving {

struct DrivenRun {
    explicit DrivenRun(int32_t frames) : video(frames) {
        run->attach(sound);
        run->attach(video);
    }
    // The loading error's message; empty when the run is ready.
    [[nodiscard]] std::string load(const std::filesystem::path& data_dir, const std::string& train,
                                   const std::string& route);

    std::unique_ptr<Run> run = std::make_unique<Run>();
    SndfileWaveInfoReader wave_lengths;
    sim::SimSoundChannels sound{wave_lengths};
    NullFrameSource video;
};

}  // namespace vantrel::driving
