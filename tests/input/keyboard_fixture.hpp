#pragma once
// A run for keyboard tests: a one-lever train of five power and eight brake notches,
// with sound channels for the release, emergency and vigilance sounds.
#include <gtest/gtest.h>

#include <string_view>

#include "app/run.hpp"
#include "input/keyboard.hpp"
#include "recording_sound.hpp"

namespace vantrel::test {

struct KeyboardFixture : ::testing::Test {
    vantrel::Run run;
    RecordingSound snd;
    void SetUp() override {
        run.attach(snd);
        run.waiting_for_start = false;
        TrainParams& t = run.train;
        t.brake_notches = 8;
        t.power_notches = 5;
        t.sound_br1 = 1;
        t.sound_br2 = 2;
        t.sound_eb = 3;
        t.sound_eb_ring = 9;  // every key stops the vigilance bell; keep it out of the call lists
        snd.quiet_channel = 9;
    }
    void type(std::string_view keys) {
        for (char c : keys) AsciiDown(run, c);
    }
};

}  // namespace vantrel::test
