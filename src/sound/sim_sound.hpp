#pragma once
// The runner's sound layer: no device, but each channel keeps its state as a real one
// would. A looping channel plays until stopped; one played once counts as playing for
// the length of its wave (0 without a wave). Every call can be logged as a CSV line.
// With a device attached every call goes on to it and the status comes from it. Wave
// lengths come from the given reader, the one the mixer uses.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "sound/sound_channels.hpp"
#include "sound/wave_info.hpp"

namespace vantrel::sim {

class SimSoundChannels final : public SoundChannels {
public:
    explicit SimSoundChannels(WaveInfoReader& reader);

    void set_time(int64_t ms) {
        if (advance_) advance_(ms);
        now_ = ms;
    }
    // Passes every call on to `device`; `advance` brings it up to each new virtual time.
    // Attach before the waves are loaded.
    void attach_device(SoundChannels& device, std::function<void(int64_t)> advance) {
        device_ = &device;
        advance_ = std::move(advance);
    }
    // Logs every channel call as "t_ms,channel,operation,value" (nullptr: no log).
    void set_event_log(std::ostream* out) { log_ = out; }
    // Where a refused wave's name and reason go, once per file (nullptr: nowhere).
    void set_error_log(std::ostream* out) { errors_ = out; }

    int load_wave(const std::filesystem::path& file) override;
    void assign(int channel, int wave) override;
    void play(int channel) override;
    void play_looping(int channel) override;
    void stop(int channel) override;
    int status(int channel) override;
    void set_volume(int channel, int hundredths_db) override;
    void set_frequency_ratio(int channel, double ratio) override;

    [[nodiscard]] int volume(int channel) const;
    [[nodiscard]] double frequency_ratio(int channel) const;

private:
    struct Wave {
        std::string name;
        WaveLength length;
        int device_wave = -1;
    };
    struct Channel {
        int wave = -1;
        bool playing = false;
        bool looping = false;
        int64_t started = 0;
        int volume = 0;
        double ratio = 1.0;
    };
    [[nodiscard]] bool valid(int channel) const { return channel >= 0 && channel < kChannelCount; }
    void log(int channel, const char* operation, const std::string& value = {});
    void refuse(const std::filesystem::path& file, const std::string& reason);

    WaveInfoReader& reader_;
    WaveBudget budget_;
    std::set<std::string> refused_;  // files whose reason was already given
    std::ostream* errors_ = nullptr;
    std::vector<Wave> waves_;
    std::vector<Channel> channels_;
    int64_t now_ = 0;
    std::ostream* log_ = nullptr;
    SoundChannels* device_ = nullptr;
    std::function<void(int64_t)> advance_;
};

}  // namespace vantrel::sim
