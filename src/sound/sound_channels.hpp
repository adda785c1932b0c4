#pragma once
// The numbered sound channels (0 .. 255) as the logic uses them. Implementations:
// NullSoundChannels here, a recording one for tests and the runner, the mixer in platform.
#include <filesystem>
#include <string>

namespace vantrel {

inline constexpr int kChannelCount = 256;
inline constexpr int kCommentaryChannel = 254;
inline constexpr int kEventHookChannel = 255;

// Channel status as the callers test it: 0 silent, 1 playing once, 5 playing looping.
inline constexpr int kStatusStopped = 0;
inline constexpr int kStatusPlaying = 1;
inline constexpr int kStatusLooping = 5;

class SoundChannels {
public:
    virtual ~SoundChannels() = default;

    // Loads a wave file; returns its handle, or -1 when it cannot be loaded (the
    // channels it is assigned to then stay silent).
    virtual int load_wave(const std::filesystem::path& file) = 0;
    // Gives a channel its own copy of a wave (-1 empties it).
    virtual void assign(int channel, int wave) = 0;

    virtual void play(int channel) = 0;          // rewind and play once
    virtual void play_looping(int channel) = 0;  // rewind and play endlessly
    virtual void stop(int channel) = 0;          // position stays
    [[nodiscard]] virtual int status(int channel) = 0;
    virtual void set_volume(int channel, int hundredths_db) = 0;  // 0 full .. -10000 silent
    virtual void set_frequency_ratio(int channel, double ratio) = 0;
};

// Compound operations used all over the program.
inline bool is_playing(SoundChannels& s, int channel) { return s.status(channel) != kStatusStopped; }
// Stop, then play once from the start.
inline void restart(SoundChannels& s, int channel) {
    s.stop(channel);
    s.play(channel);
}
// Stop, then play looping from the start.
inline void restart_looping(SoundChannels& s, int channel) {
    s.stop(channel);
    s.play_looping(channel);
}
inline void start_unless_playing(SoundChannels& s, int channel) {
    if (!is_playing(s, channel)) restart(s, channel);
}
// When silent: stop, then start looping.
inline void ensure_looping(SoundChannels& s, int channel) {
    if (!is_playing(s, channel)) restart_looping(s, channel);
}
inline void stop_if_playing(SoundChannels& s, int channel) {
    if (is_playing(s, channel)) s.stop(channel);
}

// No device: every operation is silent and every channel reports stopped.
class NullSoundChannels final : public SoundChannels {
public:
    int load_wave(const std::filesystem::path&) override { return -1; }
    void assign(int, int) override {}
    void play(int) override {}
    void play_looping(int) override {}
    void stop(int) override {}
    int status(int) override { return kStatusStopped; }
    void set_volume(int, int) override {}
    void set_frequency_ratio(int, double) override {}
};

}  // namespace vantrel
