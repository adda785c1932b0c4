#pragma once
// A SoundChannels test double: records every call as text and keeps a status per
// channel that follows play, loop and stop and that a test can set.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sound/sound_channels.hpp"

namespace vantrel::test {

class RecordingSound final : public SoundChannels {
public:
    std::vector<std::string> calls;
    std::array<int, kChannelCount> state{};
    std::array<bool, kChannelCount> empty{};  // assigned no wave (-1)
    int next_wave = 500;
    int quiet_channel = -1;  // calls on this channel are not recorded

    // A sound that ran to its end, or one the test wants playing.
    void set_status(int ch, int s) { state.at(static_cast<size_t>(ch)) = s; }
    void finish(int ch) { set_status(ch, kStatusStopped); }
    void clear() { calls.clear(); }
    [[nodiscard]] int count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) n += c == call;
        return n;
    }
    [[nodiscard]] bool called(const std::string& call) const { return count(call) > 0; }

    int load_wave(const std::filesystem::path& file) override {
        calls.push_back("load " + file.string());
        return next_wave++;
    }
    void assign(int ch, int wave) override {
        log("assign", ch, std::to_string(wave));
        empty.at(static_cast<size_t>(ch)) = wave < 0;
        state.at(static_cast<size_t>(ch)) = kStatusStopped;
    }
    void play(int ch) override {
        log("play", ch);
        if (!empty.at(static_cast<size_t>(ch))) state.at(static_cast<size_t>(ch)) = kStatusPlaying;
    }
    void play_looping(int ch) override {
        log("loop", ch);
        if (!empty.at(static_cast<size_t>(ch))) state.at(static_cast<size_t>(ch)) = kStatusLooping;
    }
    void stop(int ch) override {
        log("stop", ch);
        state.at(static_cast<size_t>(ch)) = kStatusStopped;
    }
    int status(int ch) override { return state.at(static_cast<size_t>(ch)); }
    void set_volume(int ch, int v) override { log("vol", ch, std::to_string(v)); }
    void set_frequency_ratio(int ch, double r) override {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.4f", r);
        log("freq", ch, buf);
    }

private:
    void log(const char* op, int ch, const std::string& arg = {}) {
        if (ch == quiet_channel) return;
        calls.push_back(std::string(op) + " " + std::to_string(ch) + (arg.empty() ? "" : " " + arg));
    }
};

}  // namespace vantrel::test
