#include "sound/train_sounds.hpp"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "app/run.hpp"
#include "common/fixed_point.hpp"

namespace vantrel {
namespace {

constexpr int kMotorChannel = 240;
constexpr int kSilent = -10000;  // hundredths of a dB

// Hundredths of a dB for a level in percent of full (100 -> 0, 1 -> -4000).
int32_t level_volume(long double percent) {
    if (!(percent > 0)) return kSilent;  // log of 0: silence, not an undefined volume
    return round_int(std::log10(percent / 100.0L) * 2000.0L);
}

// Two neighbouring 10 km/h bands cross-fade: at 40 km/h band 4 is full and band 5 at
// -40 dB, at 45 km/h both are near -6 dB. Above 119 km/h the bands are left alone.
void running_sound(Run& run) {
    SoundChannels& snd = run.sound();
    const int32_t s = round_int(std::fabs(real(run.core.Speed)));
    if (s >= 120) return;
    const int k = s / 10;
    const int r = s % 10;
    if (s > 10) stop_if_playing(snd, k - 1);
    if (s < 110) stop_if_playing(snd, k + 2);
    ensure_looping(snd, k);
    ensure_looping(snd, k + 1);
    const int w1 = 100 - 10 * r;
    const int w2 = 10 * r;
    snd.set_volume(k, level_volume(w1 == 0 ? 1 : w1));
    snd.set_volume(k + 1, level_volume(w2 == 0 ? 1 : w2));
}

void motor_sounds(Run& run) {
    SoundChannels& snd = run.sound();
    TrainSoundState& st = run.train_sounds;
    const auto& motors = run.train.motor_sounds;
    if (st.motor_loudness.size() != motors.size()) reset_train_sounds(run);
    const long double v = real(run.core.Speed);
    const int32_t power = run.core.PowerNotch;
    const int32_t brake = run.core.BrakeNotch;

    for (size_t i = 0; i < motors.size(); ++i) {
        const MotorSoundEntry& m = motors[i];
        const int ch = kMotorChannel + static_cast<int>(i);
        if (m.start_speed < v && v < m.end_speed) {
            const long double t = (v - m.start_speed) / (m.end_speed - m.start_speed);
            snd.set_frequency_ratio(ch, static_cast<double>(m.start_ratio + (m.end_ratio - m.start_ratio) * t));
            st.motor_loudness[i] = m.start_loudness + (m.end_loudness - m.start_loudness) * t;
        } else {
            st.motor_loudness[i] = 1.0;
        }
        if (m.mode == 2 || (m.mode == 0 && power >= 1) || (m.mode == 1 && brake < 0)) {
            st.motor_envelope[i] = 100;
        } else if (st.motor_envelope[i] > 16) {
            st.motor_envelope[i] -= 10;
        }
    }
    if (power != 0 || brake != 0) {
        if (st.common_envelope < 85) st.common_envelope += 20;
    } else if (st.common_envelope > 15) {
        st.common_envelope -= 10;
    }
    for (size_t i = 0; i < motors.size(); ++i) {
        const int ch = kMotorChannel + static_cast<int>(i);
        if (st.motor_loudness[i] < 1.0) st.motor_loudness[i] = 1.0;
        const long double level = st.motor_loudness[i] * st.motor_envelope[i] * st.common_envelope;
        snd.set_volume(ch, level > 0 ? round_int(2000.0L * std::log10(level / 1000000.0L)) : kSilent);
        ensure_looping(snd, ch);
    }
}

// Diesel trains: the idle sound of the door state, and the engine sound following the
// engine's level (volume) and revolutions (pitch).
void engine_sound(Run& run) {
    SoundChannels& snd = run.sound();
    const auto& e = run.train.engine_sound;
    const int idle = run.core.TractionCut ? e[2] : e[1];
    if (!is_playing(snd, idle)) {
        snd.stop(e[1]);
        snd.stop(e[2]);
        snd.play_looping(idle);
    }
    snd.set_volume(e[0], level_volume(run.traction.EngineLevel));
    ensure_looping(snd, e[0]);
    snd.set_frequency_ratio(e[0], static_cast<double>(run.traction.EngineRev / 200.0L + 0.5L));
}

}  // namespace

void reset_train_sounds(Run& run) {
    TrainSoundState& st = run.train_sounds;
    const size_t m = run.train.motor_sounds.size();
    st.motor_loudness.assign(m, 1.0);
    st.motor_envelope.assign(m, 1.0);
    st.common_envelope = 1.0;
    st.squeal_volume = 0;
}

void train_sounds_step(Run& run) {
    running_sound(run);
    motor_sounds(run);
    if (run.train.engine_type == 0) engine_sound(run);
}

void squeal_step(Run& run) {
    SoundChannels& snd = run.sound();
    TrainSoundState& st = run.train_sounds;
    const int ch = run.train.sound_squeak;
    const long double v = std::fabs(real(run.core.Speed));
    const long double lose_elec = run.train.lose_elec;
    const bool braking = run.core.BrakeNotch < 0;
    auto fade = [&](int32_t by) {
        if (st.squeal_volume > std::numeric_limits<int32_t>::min() + by) st.squeal_volume -= by;
        snd.set_volume(ch, st.squeal_volume);
        if (st.squeal_volume < -5000) stop_if_playing(snd, ch);
    };

    if (braking && 3 < v && v < lose_elec) ensure_looping(snd, ch);
    if (run.core.BrakeNotch == 0 || v >= 45) fade(100);
    if (v < 1) fade(1000);
    const long double p = real(run.core.BcPressure);  // kPa
    if (braking && 1 < v && v < lose_elec && p > 0) {
        // 500 kPa -> -5 dB, 50 kPa -> -50 dB
        st.squeal_volume = round_int(-500.0L * 500.0L / p);
        snd.set_volume(ch, st.squeal_volume);
    }
}

void unload_train_sounds(Run& run) {
    SoundChannels& snd = run.sound();
    const int routed = run.drive_sound_count + static_cast<int>(run.route.sound_data.size());
    for (int ch = 0; ch < routed && ch < kChannelCount; ++ch) snd.stop(ch);
    for (size_t i = 0; i < run.train.motor_sounds.size(); ++i) snd.stop(kMotorChannel + static_cast<int>(i));
    snd.stop(kEventHookChannel);
    reset_train_sounds(run);
}

}  // namespace vantrel
