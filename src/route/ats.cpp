#include "route/ats.hpp"

#include <cstddef>
#include <cstdint>
#include <limits>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/handles.hpp"
#include "route/signal_codes.hpp"

namespace vantrel {
namespace {

[[nodiscard]] int64_t kmh(int32_t v) { return static_cast<int64_t>(v) * kFixedOne; }

[[nodiscard]] bool stands(const Run& run) { return round_store(real(run.core.Speed)) == 0; }

// The alarm ATS: how the speed lamps follow the check speed while no alarm sounds.
void show_speed_lamp(Run& run, bool CabView::*lamp) {
    CabView& v = run.view;
    if (v.*lamp) return;
    v.Lamp_Ats = v.Lamp_YY = v.Lamp_Y = v.Lamp_YG = false;
    v.*lamp = true;
    run.ats.AtsConfirmed = false;
}

// Braking distance in metres from v down to target (km/h) at a km/h/s. A train that
// cannot brake has no finite distance, so it brakes at once.
[[nodiscard]] long double braking_distance(long double v, long double target, long double a) {
    if (!(a > 0)) return std::numeric_limits<long double>::infinity();
    return (v - target) / a * ((v + target) / 2.0L / 3.6L);
}

struct PatternTarget {
    int32_t speed = kNone;      // km/h
    long double distance = 0;  // cm still to run
};

// The first distance mark within 600 m that restricts the train: a block signal at stop
// or any speed limit.
[[nodiscard]] PatternTarget find_pattern_target(const Run& run) {
    const std::vector<Signal>& signals = run.route.signals;
    for (const DistanceMark& m : run.route.marks) {
        const long double rel = m.distance - run.core.Distance;
        if (!(0 < rel && rel < 60000)) continue;
        if (m.limit == 0) {
            if (m.signal < 0 || static_cast<std::size_t>(m.signal) >= signals.size()) continue;
            const int32_t type = signals[static_cast<std::size_t>(m.signal)].type;
            const int32_t stop = stop_code_of_type(type);
            const int32_t value = signal_value_at(run.ats, static_cast<std::size_t>(m.signal));
            if (stop < 0 || (value != 0 && value != stop)) continue;
            return {0, rel};
        }
        return {m.limit, rel};
    }
    return {};
}

}  // namespace

void cab_signal_ats(Run& run) {
    if (run.train.ats_type != 2) return;
    const RouteTables& r = run.route;
    const int64_t speed = run.core.Speed;
    const Aspect aspect = aspect_of(run.ats.CurrentSignalCode);
    const bool over = (aspect == Aspect::YY && speed > kmh(r.speed_yy)) ||
                      (aspect == Aspect::Y && speed > kmh(r.speed_y)) ||
                      (aspect == Aspect::YG && speed > kmh(r.speed_yg)) || speed > kmh(r.speed_g) ||
                      (aspect == Aspect::R && speed >= 0);
    if (over && run.core.BrakeHandle > -run.train.brake_notches + 1) {
        run.core.AtsBrake = true;
        mark_handles_changed(run);
        masconupdate(run);
        run.ats.CabSignalBrake = true;
    } else if (!over && run.ats.CabSignalBrake) {
        run.core.AtsBrake = false;
        mark_handles_changed(run);
        masconupdate(run);
        run.ats.CabSignalBrake = false;
    }
}

void alarm_ats(Run& run) {
    if (run.train.ats_type != 0) return;
    AtsState& ats = run.ats;
    CoreState& core = run.core;
    CabView& v = run.view;
    SoundChannels& snd = run.sound();
    const TrainParams& t = run.train;
    const RouteTables& r = run.route;

    if (core.BrakeHandle != -t.brake_notches) {
        bool start = false;
        if (t.ats_alert == 1) {
            start = core.Speed > kmh(ats.AtsTarget + 5) && !ats.AtsConfirmed;
        } else if (t.ats_alert == 0) {
            start = (ats.AtsTarget == 998 || ats.AtsTarget == 0) && !ats.AtsConfirmed;
        }
        if (start) {
            ats.AtsAlarm = true;
            ats.AtsChime = false;
        }
    }

    if (ats.AtsAlarm && !is_playing(snd, t.sound_ats1)) {
        ats.saved_target = ats.AtsTarget;
        snd.stop(t.sound_ats1);
        snd.stop(t.sound_ats2);
        snd.play_looping(t.sound_ats1);
        v.Lamp_Ats = true;
        v.Lamp_YG = v.Lamp_Y = v.Lamp_YY = false;
        if (ats.AtsTarget == 0) {
            core.AtsEmergency = true;
            masconupdate(run);
        }
    }

    if (ats.AtsChime && !is_playing(snd, t.sound_ats2)) {
        snd.stop(t.sound_ats1);
        if (t.ats_cnt == 0) {
            restart_looping(snd, t.sound_ats2);
        } else {
            restart(snd, t.sound_ats2);
        }
        ats.AtsChime = false;
        v.Lamp_Ats = false;
        if (ats.saved_target == r.speed_y) v.Lamp_Y = true;
        if (ats.saved_target == r.speed_yg) v.Lamp_YG = true;
    }

    if (!ats.AtsAlarm) {
        if (ats.AtsTarget == r.speed_yy) show_speed_lamp(run, &CabView::Lamp_YY);
        if (ats.AtsTarget == r.speed_y) show_speed_lamp(run, &CabView::Lamp_Y);
        if (ats.AtsTarget == r.speed_yg) show_speed_lamp(run, &CabView::Lamp_YG);
        if (ats.AtsTarget == kNone) {
            v.Lamp_Ats = v.Lamp_YY = v.Lamp_Y = v.Lamp_YG = false;
            ats.AtsConfirmed = false;
        }
    }

    if (ats.AtsAlarm) {
        ++ats.AtsTimer;
        if (static_cast<int64_t>(ats.AtsTimer) > static_cast<int64_t>(t.ats_time) * 10) {
            if (!core.AtsEmergency) restart(snd, t.sound_eb);
            core.AtsEmergency = true;
            masconupdate(run);
            ats.AtsTimer = 0;
        }
    }
}

void pattern_ats(Run& run) {
    if (run.train.ats_type != 1) return;
    AtsState& ats = run.ats;
    CoreState& core = run.core;
    CabView& v = run.view;

    PatternTarget target = find_pattern_target(run);
    if (target.speed >= 1) target.speed += 5;

    ats.previous_pattern_state = ats.PatternState;
    int32_t state = ats.PatternState;
    const long double speed = real(core.Speed);
    if (core.Speed > kmh(target.speed)) {
        const long double d = target.distance / 100.0L;
        const long double a = real(run.train.brake_rate) * 0.8L;
        const long double goal = target.speed;
        if (braking_distance(speed, goal, a) > d - 10) {
            state = 2;
        } else if (!core.AtsBrake) {
            state = braking_distance(speed + 5, goal, a) > d - 50 ? 1 : 0;
        }
    }
    if (round_store(speed) < target.speed) state = 0;

    const int32_t before = ats.previous_pattern_state;
    ats.PatternState = state;
    if (state == before) return;
    if (state == 1) {
        restart(run.sound(), run.train.sound_atc);
        v.Lamp_Atsp1 = true;
        v.Lamp_Atsp2 = false;
    } else if (state == 2) {
        restart(run.sound(), run.train.sound_atc);
        core.AtsBrake = true;
        v.Lamp_Atsp1 = v.Lamp_Atsp2 = true;
    } else if (state == 0) {
        restart(run.sound(), run.train.sound_atc);
        core.AtsBrake = false;
        v.Lamp_Atsp1 = v.Lamp_Atsp2 = false;
    }
    masconupdate(run);
}

void ats_confirm(Run& run) {
    AtsState& ats = run.ats;
    SoundChannels& snd = run.sound();
    const int32_t chime = run.train.sound_ats2;
    // At the warning point the chime may only be silenced once the train stands.
    if (ats.AtsTarget != 998 || stands(run)) stop_if_playing(snd, chime);
    if (ats.AtsChime) {
        ats.AtsChime = false;
        ats.AtsAlarm = false;
    } else if (ats.AtsAlarm && run.core.BrakeHandle < 0 && !run.core.AtsEmergency) {
        ats.AtsAlarm = false;
        ats.AtsChime = true;
        ats.AtsConfirmed = true;
        ats.AtsTimer = 0;
    }
}

void ats_reset(Run& run) {
    if (run.core.BrakeHandle != -run.train.brake_notches || !stands(run)) return;
    AtsState& ats = run.ats;
    run.core.AtsEmergency = false;
    run.core.AtsBrake = false;
    run.sound().stop(run.train.sound_ats1);
    run.sound().stop(run.train.sound_ats2);
    ats.AtsAlarm = false;
    ats.AtsChime = false;
    ats.AtsTimer = 0;
    ats.AtsConfirmed = true;
}

}  // namespace vantrel
