#pragma once
// The train parameter record: one vehicle as its train file describes it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cab/panel_def.hpp"
#include "cab/picture_loader.hpp"

namespace vantrel {

inline constexpr int kMaxMotorSounds = 100;
inline constexpr int kMaxDriveSounds = 100;
inline constexpr int kMaxGears = 5;  // converter stage 0 and direct gears 1 .. 4
inline constexpr int kMaxCars = 20;  // the gradient history holds 20 samples

struct NotchCurve {
    double start_accel = 0;  // km/h/s at 0 km/h
    double base_accel = 0;   // km/h/s at the base speed
    int32_t base_speed = 0;  // km/h
    int32_t char_speed = 0;  // km/h, start of the falling region
    double decay = 0;        // factor per km/h above the characteristic speed
};

struct GearEntry {
    int32_t low_speed = 0;   // km/h
    int32_t mid_speed = 0;   // km/h
    int32_t high_speed = 0;  // km/h
    double low_accel = 0;    // km/h/s
    double mid_accel = 0;
    double high_accel = 0;
};

struct MotorSoundEntry {
    std::string file;
    int32_t mode = 0;  // 0 power, 1 brake, 2 always
    long double start_speed = 0, end_speed = 0;
    long double start_ratio = 0, end_ratio = 0;
    long double start_loudness = 0, end_loudness = 0;
};

struct TrainParams {
    int32_t handle_type = 0;  // [Handle]: 0 one lever, 1 two handles
    int32_t brake_type = 0;   // [BrakeType]
    int32_t brake_notches = 0;  // [Brake], including emergency
    int32_t power_notches = 0;  // [Power]
    int32_t hold = 0;           // [Hold]
    int64_t brake_rate = 0;     // [BrakeRate], km/h/s x 10000
    int32_t power_delay = 0, brake_delay = 0, sap_delay = 0;  // 33 ms ticks
    int32_t brake_up = 0, brake_down = 0;  // kPa/s
    int32_t eb_press = 0, sap_press = 0;   // kPa
    int32_t high_air_press = 0, low_air_press = 0;  // kPa
    int32_t curr1 = 0, curr2 = 0;
    int32_t engine_type = 0;  // 1 electric, 0 diesel
    int32_t door_type = 0;
    int64_t mt = 0;  // [Mt], t x 10000
    int64_t tt = 0;  // [Tt], t x 10000
    int32_t cars = 0;
    PictureRef stop_line;  // [StopLine], index 0 of SignImageList
    int64_t tons = 0;      // [Tons], t x 10000
    int32_t eb = 0;        // [EB] vigilance device
    int32_t max_speed = 0;  // km/h
    int32_t lose_elec = 0;  // km/h
    int32_t mc = 0;
    int32_t ats_type = 0, ats_alert = 0, ats_time = 0, ats_cnt = 0;
    // Sound channel numbers.
    int32_t sound_br1 = 0, sound_br2 = 0, sound_eb = 0, sound_ats1 = 0, sound_ats2 = 0, sound_atc = 0;
    int32_t sound_horn = 0, sound_horn2 = 0, sound_horn3 = 0;
    int32_t sound_door_open = 0, sound_door_close = 0, sound_eb_ring = 0, sound_squeak = 0;
    int32_t cp_start = 0, cp_cnt = 0, cp_end = 0;
    int32_t sound_stop = 0;  // [Stop]
    std::array<int32_t, 2> buzzer{};
    int32_t dep_sign = 0;
    std::array<int32_t, 3> engine_sound{};  // engine, idle doors closed, idle doors open
    int32_t gear_manual = 0;  // [Gear_Type]: 0 "AT", 1 "MT"
    std::vector<NotchCurve> notches;  // notch k is notches[k - 1]
    std::vector<GearEntry> gears;     // at most kMaxGears
    std::vector<MotorSoundEntry> motor_sounds;  // at most kMaxMotorSounds
    std::vector<std::string> drive_sounds;      // at most kMaxDriveSounds
    PanelDef panel;  // the cab-panel keys of the same file
};

}  // namespace vantrel
