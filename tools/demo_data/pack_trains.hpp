#pragma once
// The five trains of the demo pack: their parameters, sound lists and cab panel
// layout, shared by the train-file writer and the panel painter.
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::demo {

struct Gauge {
    std::string key;      // "[Needle_Speed]"
    std::string needle;   // needle picture name (without folder)
    int cx = 0, cy = 0, r = 0;  // window coordinates of the dial
    int zero = 0;         // degrees at value 0
    double scale = 0;     // degrees per unit
};

struct Dial {
    int cx = 0, cy = 0, r = 0;
    double lo = 0, hi = 0, step = 0;  // scale values and numbered step
    int from_deg = -135, to_deg = 135;
    std::string caption, unit;
};

struct Lamp {
    std::string key;   // "[Lamp_Door]"
    std::string text;  // printed on the lamp
    uint32_t colour = 0;
    int x = 0, y = 0;
};

struct TrainSpec {
    std::string id;    // "785"
    std::string title; // "785系 特急形電車"
    int handle = 0, brake_type = 0, brakes = 0, powers = 0, hold = 0;
    double brake_rate = 0;
    int power_delay = 3, brake_delay = 3, sap_delay = 2;
    int brake_up = 400, brake_down = 300, eb_press = 440, sap_press = 400;
    int engine_type = 1;  // 1 electric, 0 diesel
    double mt = 0, tt = 0, tons = 0;
    int cars = 0, eb = 0, max_speed = 0, lose_elec = 0, mc = 0;
    int ats_type = 0, ats_alert = 0, ats_time = 5, ats_cnt = 1;
    bool manual_gears = false;
    std::vector<std::string> notches;  // "[Notch]" lines
    std::vector<std::string> gears;    // "[Engine]" lines
    std::string family;                // "emu" or "dmu": sound set
    std::string motor;                 // motor sound set: "vvvf1", "vvvf2", "gto"
    uint32_t body = 0, face = 0;       // panel colours 0xRRGGBB
    int dial_max = 120;
    std::vector<Gauge> gauges;
    std::vector<Dial> dials;
    std::vector<Lamp> lamps;
};

[[nodiscard]] std::vector<TrainSpec> pack_trains();
[[nodiscard]] std::string pack_train_text(const TrainSpec& t);

// Panel places (window coordinates).
inline constexpr int kNotchX = 494, kNotchPY = 348, kNotchBY = 368, kGearY = 388;
inline constexpr int kNotchW = 90, kNotchH = 16, kGearW = 64;
inline constexpr int kClockX = 612, kClockY = 378, kClockHand = 17;
inline constexpr int kLampW = 42, kLampH = 16;

}  // namespace vantrel::demo
