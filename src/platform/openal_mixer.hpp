#pragma once
// The 256 sound channels over OpenAL Soft: one AL buffer per wave, one source per
// assigned channel. Without a sound device every operation is silent.
#include <cstdint>
#include <memory>
#include <span>

#include "sound/sound_channels.hpp"

namespace vantrel {

class OpenAlMixer final : public SoundChannels {
public:
    // The system's default device; a mixer that is not initialised when there is none.
    static std::unique_ptr<OpenAlMixer> open_device();
    // A loopback device rendering 16-bit stereo at `rate` into memory (tests, the runner).
    static std::unique_ptr<OpenAlMixer> open_loopback(int rate = 44100);
    ~OpenAlMixer() override;

    [[nodiscard]] bool initialised() const;
    // Frees every wave and channel and opens the device afresh (window close, sound reset).
    void reinitialise();
    // Loopback only: mixes the next `frames` stereo frames into `out` (2 x frames samples).
    void render(std::span<int16_t> out);
    [[nodiscard]] int rate() const;

    int load_wave(const std::filesystem::path& file) override;
    // A wave from samples in memory (16-bit mono at `rate` Hz); -1 when it cannot be held.
    int load_samples(std::span<const int16_t> samples, int rate);
    // Plays a channel once from `seconds` into its wave (a sound joining a running movie).
    void play_from(int channel, double seconds);
    void assign(int channel, int wave) override;
    void play(int channel) override;
    void play_looping(int channel) override;
    void stop(int channel) override;
    int status(int channel) override;
    void set_volume(int channel, int hundredths_db) override;
    void set_frequency_ratio(int channel, double ratio) override;

private:
    struct Impl;
    struct Key {
        explicit Key() = default;
    };

public:
    OpenAlMixer(Key, std::unique_ptr<Impl> impl);  // for make_unique inside the factories

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
