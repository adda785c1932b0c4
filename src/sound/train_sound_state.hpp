#pragma once
// Run-time state of the train's sounds: the motor sounds' loudness and envelopes and
// the brake squeal's volume.
#include <cstdint>
#include <vector>

namespace vantrel {

struct TrainSoundState {
    std::vector<long double> motor_loudness;  // %, one per "[MotorSound]" entry
    std::vector<long double> motor_envelope;  // %, one per entry
    long double common_envelope = 1.0;        // %, shared by all motor sounds
    int32_t squeal_volume = 0;                // hundredths of a dB, as last set
};

}  // namespace vantrel
