#pragma once
// Run-time state of the handles, traction, brake and video position.
#include <cstdint>

namespace vantrel {

struct HandleState {
    bool hold_guard = false;  // one step out of the hold position applies no further notch
    bool power_pending = false, brake_pending = false, sap_pending = false;
    int32_t power_counter = 0;  // shared with the diesel gear-change wait
    int32_t brake_counter = 0;
    int32_t sap_counter = 0;
};

struct TractionState {
    int32_t gear = 0;         // current gear (whose curve is in use)
    int32_t target_gear = 0;  // shown in GearLabel
    bool gear_changing = false;
    long double EngineRev = 0;    // %
    long double EngineLevel = 0;  // %
    int32_t target_current = 0;   // A
    int32_t shown_current = 0;    // A
    // The notch curve's last decay factor and its inputs: it changes only with the whole
    // km/h, and costs a hundred multiplications or more.
    double decay_base = 0;
    long long decay_speed = -1;  // whole km/h
    int32_t decay_char_speed = -1;
    long double decay = 1;
};

struct BrakeState {
    bool compressor_on = false;
};

struct VideoState {
    int32_t accumulator = 0;  // km/h not yet turned into frames
    int32_t FilmedSpeed = 0;  // km/h at Frame
    int32_t segment = 0;      // current filming-speed segment; -1 after a jump
    int32_t PrecedingFrame = 0;  // 0: no preceding train
    int32_t length = -1;      // frames of the video, -1 without one
};

}  // namespace vantrel
