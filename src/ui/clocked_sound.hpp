#pragma once
// Sound for recorded drives: every call reaches the real device, but whether a channel
// is still playing is answered by the headless runner's model on the scheduler's clock,
// so the drive replays headless exactly.
#include <cstdint>
#include <vector>

#include "platform/wave_file.hpp"
#include "sound/sim_sound.hpp"

namespace vantrel {

class ClockedSound final : public SoundChannels {
public:
    // The model reads wave lengths as the mixer does; the mixer gives the reasons of refusals.
    explicit ClockedSound(SoundChannels& device) : device_(device) {}
    void set_time(int64_t ms) { model_.set_time(ms); }
    // Logs every call as the runner's --events does, on the scheduler's clock.
    void set_event_log(std::ostream* out) { model_.set_event_log(out); }

    int load_wave(const std::filesystem::path& file) override;
    void assign(int channel, int wave) override;
    void play(int channel) override;
    void play_looping(int channel) override;
    void stop(int channel) override;
    int status(int channel) override { return model_.status(channel); }
    void set_volume(int channel, int hundredths_db) override;
    void set_frequency_ratio(int channel, double ratio) override;

private:
    SndfileWaveInfoReader wave_lengths_;
    sim::SimSoundChannels model_{wave_lengths_};
    SoundChannels& device_;
    std::vector<int> device_waves_;  // the device's handle per model handle
};

}  // namespace vantrel
