#pragma once
// Test double of the sound channels: records every call as text ("play 3", "loop 3",
// "stop 3") and keeps a status per channel that the calls change and the test can set.
#include <array>
#include <string>
#include <vector>

#include "sound/sound_channels.hpp"

namespace vantrel::test {

class RecordingSound final : public SoundChannels {
public:
    int load_wave(const std::filesystem::path&) override { return -1; }
    void assign(int, int) override {}
    void play(int ch) override { note("play", ch, kStatusPlaying); }
    void play_looping(int ch) override { note("loop", ch, kStatusLooping); }
    void stop(int ch) override { note("stop", ch, kStatusStopped); }
    int status(int ch) override { return valid(ch) ? status_[static_cast<size_t>(ch)] : kStatusStopped; }
    void set_volume(int, int) override {}
    void set_frequency_ratio(int, double) override {}

    // A sound that ran to its end, or one the test wants playing.
    void set_status(int ch, int status) {
        if (valid(ch)) status_[static_cast<size_t>(ch)] = status;
    }
    [[nodiscard]] bool called(const std::string& call) const {
        for (const std::string& c : calls) {
            if (c == call) return true;
        }
        return false;
    }

    std::vector<std::string> calls;

private:
    static bool valid(int ch) { return ch >= 0 && ch < kChannelCount; }
    void note(const char* op, int ch, int status) {
        calls.push_back(std::string(op) + " " + std::to_string(ch));
        set_status(ch, status);
    }
    std::array<int, kChannelCount> status_{};
};

}  // namespace vantrel::test
