#pragma once
// A run for controller tests: a one-lever train of five power and eight brake notches
// with its emergency sound on channel 3, started, with an empty input queue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run.hpp"
#include "recording_sound.hpp"

namespace vantrel::test {

struct ControllerFixture : ::testing::Test {
    vantrel::Run run;
    RecordingSound snd;
    void SetUp() override {
        run.attach(snd);
        run.waiting_for_start = false;
        run.train.power_notches = 5;
        run.train.brake_notches = 8;
        run.train.brake_type = 1;
        run.train.sound_eb = 3;
        run.train.sound_eb_ring = 9;
        snd.quiet_channel = 9;
    }
    // The posted inputs as text ("1", "<Enter>"), then cleared.
    std::vector<std::string> take_posted() {
        std::vector<std::string> out;
        for (const PostedInput& p : run.posted)
            out.push_back(p.virtual_key ? "<" + std::to_string(p.code) + ">" : std::string(1, static_cast<char>(p.code)));
        run.posted.clear();
        return out;
    }
    void set_handles(int32_t power, int32_t brake) {
        run.core.PowerHandle = power;
        run.core.BrakeHandle = brake;
        run.handles = {};
    }
};

}  // namespace vantrel::test
