#pragma once
// Hand-built trains for the dynamics tests, and a sound layer that records its calls.
#include <string>
#include <vector>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/train_setup.hpp"

namespace vantrel::test {

// A typical electric train: one-lever handle, straight-air brake with 7 service
// notches, 4 power notches (the worked notch curve), 300 t with 120 t motored.
inline void electric_train(Run& run) {
    TrainParams& t = run.train;
    t.handle_type = 0;
    t.brake_type = 1;
    t.brake_notches = 8;
    t.power_notches = 4;
    t.hold = 0;
    t.brake_rate = 40000;  // 4.0 km/h/s
    t.power_delay = 1;
    t.brake_delay = 1;
    t.sap_delay = 1;
    t.brake_up = 300;
    t.brake_down = 300;
    t.eb_press = 440;
    t.sap_press = 440;
    t.high_air_press = 880;
    t.low_air_press = 780;
    t.engine_type = 1;
    t.mt = 120 * 10000;
    t.tt = 180 * 10000;
    t.cars = 6;
    t.tons = 300 * 10000;
    t.max_speed = 120;
    t.lose_elec = 10;
    t.cp_start = 20;
    t.cp_cnt = 21;
    t.cp_end = 22;
    t.notches.assign(4, NotchCurve{3.0, 2.5, 40, 70, 0.98});
    t.panel.notch_p.pictures.resize(5);   // N, P1 .. P4
    t.panel.notch_b.pictures.resize(10);  // N, B1 .. B7, EB and one spare

    Strings& s = run.strings;
    s.forward = "前進";
    s.neutral = "中立";
    s.reverse = "後退";
    s.neut = "ブレーキ解除";
    s.neut2 = "切";
    s.maintain = "緩め";
    s.hold = "重なり";
    s.apply = "ブレーキ";
    s.hold2 = "抑速";
    s.eb = "非常";
}

// A diesel train with automatic gears: converter stage 0 .. 40 km/h, direct gears above.
inline void diesel_train(Run& run) {
    electric_train(run);
    TrainParams& t = run.train;
    t.engine_type = 0;
    t.notches.clear();
    t.power_notches = 5;
    t.gears = {
        {0, 20, 40, 2.0, 1.5, 1.0},
        {30, 50, 70, 1.2, 1.0, 0.8},
        {60, 80, 100, 0.9, 0.7, 0.5},
        {90, 110, 130, 0.6, 0.5, 0.3},
        {120, 140, 160, 0.4, 0.3, 0.2},
    };
}

// The train after start-up, standing, brakes released and traction allowed.
inline void ready_to_run(Run& run) {
    init_train_state(run);
    CoreState& c = run.core;
    c.BrakeHandle = c.BrakeNotch = 0;
    c.BcPressure = 0;
    c.ErPressure = 500 * 10000;
    c.TractionCut = false;
}

class RecordingSound final : public SoundChannels {
public:
    std::vector<std::string> calls;

    int load_wave(const std::filesystem::path&) override { return -1; }
    void assign(int, int) override {}
    void play(int ch) override { calls.push_back("play " + std::to_string(ch)); }
    void play_looping(int ch) override { calls.push_back("loop " + std::to_string(ch)); }
    void stop(int ch) override { calls.push_back("stop " + std::to_string(ch)); }
    int status(int) override { return kStatusStopped; }
    void set_volume(int, int) override {}
    void set_frequency_ratio(int, double) override {}
};

// kPa, km/h or N as the fixed-point integer.
constexpr int64_t fx(long double value) { return static_cast<int64_t>(value * 10000 + (value < 0 ? -0.5L : 0.5L)); }

}  // namespace vantrel::test
