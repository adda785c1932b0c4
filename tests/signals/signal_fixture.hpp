#pragma once
// Hand-built runs for the signal and ATS tests.
#include <cstdint>
#include <string>

#include "app/run.hpp"
#include "recording_sound.hpp"

namespace vantrel::test {

// Channel numbers of the train's ATS sounds in these tests.
inline constexpr int kAts1 = 11, kAts2 = 12, kAtc = 13, kEb = 14, kEbRing = 15;

inline Signal block_signal(int32_t type, int32_t start, int32_t end, std::string name = "") {
    Signal s;
    s.type = type;
    s.section_start = start;
    s.section_end = end;
    s.warning = end - 100;
    s.signal_frame = end;
    s.name = std::move(name);
    return s;
}

inline void setup_train(Run& run, RecordingSound& sound, int32_t ats_type) {
    run.attach(sound);
    run.train.ats_type = ats_type;
    run.train.brake_notches = 8;
    run.train.ats_time = 5;
    run.train.sound_ats1 = kAts1;
    run.train.sound_ats2 = kAts2;
    run.train.sound_atc = kAtc;
    run.train.sound_eb = kEb;
    run.train.sound_eb_ring = kEbRing;
    run.route.speed_yy = 25;
    run.route.speed_y = 45;
    run.route.speed_yg = 65;
    run.route.speed_g = 110;
    run.route.signal_images.resize(22);
    run.core.BrakeHandle = 0;
}

// Sizes the run-time values to the signal table, as the route start does.
inline void size_values(Run& run) { run.ats.signal_value.assign(run.route.signals.size(), 0); }

inline int64_t kmh(long double v) { return static_cast<int64_t>(v * 10000); }

}  // namespace vantrel::test
