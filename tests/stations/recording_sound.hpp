#pragma once
// A sound layer for tests: remembers every call and lets a test end a sound.
#include <array>
#include <string>
#include <vector>

#include "sound/sound_channels.hpp"

namespace vantrel::test {

class RecordingSound final : public SoundChannels {
public:
    std::vector<std::string> calls;  // "play 3", "loop 3", "stop 3"

    int load_wave(const std::filesystem::path&) override { return -1; }
    void assign(int, int) override {}
    void play(int ch) override { record("play", ch, kStatusPlaying); }
    void play_looping(int ch) override { record("loop", ch, kStatusLooping); }
    void stop(int ch) override { record("stop", ch, kStatusStopped); }
    int status(int ch) override { return valid(ch) ? state_[static_cast<size_t>(ch)] : kStatusStopped; }
    void set_volume(int, int) override {}
    void set_frequency_ratio(int, double) override {}

    // The sound on this channel has played to its end.
    void finish(int ch) {
        if (valid(ch)) state_[static_cast<size_t>(ch)] = kStatusStopped;
    }
    [[nodiscard]] int count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) n += c == call;
        return n;
    }

private:
    static bool valid(int ch) { return ch >= 0 && ch < kChannelCount; }
    void record(const char* what, int ch, int status) {
        calls.push_back(std::string(what) + " " + std::to_string(ch));
        if (valid(ch)) state_[static_cast<size_t>(ch)] = status;
    }
    std::array<int, kChannelCount> state_{};
};

}  // namespace vantrel::test
