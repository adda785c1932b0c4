#include "route/stations.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/fixed_point.hpp"
#include "common/common_utilities.hpp"
#include "app/run.hpp"
#include "route/blink.hpp"
#include "route/commentary.hpp"
#include "route/timetable_phrases.hpp"

namespace vantrel {

namespace {

constexpr int32_t kTicksPerHour = 108000;
constexpr int32_t kTicksPerMinute = 1800;
constexpr int32_t kTicksPerSecond = 30;

constexpr int32_t kSlotDoorsClosed = 120;  // spoken when the doors have closed

[[nodiscard]] int32_t whole_kmh(int64_t speed) { return round_int(real(speed)); }

// The record after the last station reads as an empty one.
[[nodiscard]] const Station& station_or_empty(const Run& run, size_t i) {
    static const Station empty{};
    return i < run.route.stations.size() ? run.route.stations[i] : empty;
}

[[nodiscard]] const std::string& stop_type_text(const Run& run, int32_t type) {
    static const std::string none;
    switch (type) {
        case 0: return run.strings.stop;
        case 1: return run.strings.pass;
        case 2: return run.strings.stop2;
        default: return none;
    }
}

// With no later stop the target stays where it is: the remaining distance then just
// grows negative past the last stop point.
void set_next_stop_after(Run& run, size_t i) {
    const auto& stations = run.route.stations;
    for (size_t j = i + 1; j < stations.size(); ++j) {
        if (stations[j].type == 0) {
            run.stations.next_stop_distance = stations[j].stop_distance;
            run.core.TargetDistance = stations[j].stop_distance;
            return;
        }
    }
}

void station_work(Run& run, size_t i) {
    const Station& st = run.route.stations[i];
    StationFlags& flags = run.stations.flags[i];
    SoundChannels& sound = run.sound();
    const bool one_man = run.route.one_man != 0;

    // Between station i and the next.
    const Station& next = station_or_empty(run, i + 1);
    if (st.platform_end < run.core.Frame && run.core.Frame < next.platform_start) {
        run.view.Label4 = next.name + stop_type_text(run, next.type);
        if (flags.marker_shown) {
            run.view.stop = -1;
            flags.marker_shown = false;
        }
    }

    // On the platform of a stopping station.
    if (st.platform_start <= run.core.Frame && run.core.Frame <= st.platform_end && st.type != 1 &&
        !flags.marker_shown) {
        run.view.stop = run.route.sign_images.empty() ? -1 : 0;  // the train's stop marker
        run.view.Label4 = st.name;
        run.stations.current_station = static_cast<int32_t>(i);
        flags.marker_shown = true;
    }

    if (!flags.marker_shown || flags.doors_closed) return;

    // Arrival: repeats every tick until the doors are open.
    if (st.type == 0 && !run.core.TractionCut && whole_kmh(run.core.Speed) == 0) {
        if (!one_man) Door_operate(run);
        kanko_station_add(run, 1);
    }

    const int dep_channel = route_sound_channel(run, st.dep_sound);
    if (st.dep_sound_time < run.core.ClockTicks && !flags.dep_sound_played &&
        (st.type == 2 || (st.type == 0 && run.core.TractionCut))) {
        if (dep_channel >= 0) restart(sound, dep_channel);
        flags.dep_sound_played = true;
        set_next_stop_after(run, i);
        kanko_station_add(run, 2);
    }

    if (st.door_close_time < run.core.ClockTicks && run.core.TractionCut &&
        (dep_channel < 0 || !is_playing(sound, dep_channel))) {
        if (!one_man) Door_operate(run);
        flags.doors_closed = true;
        run.commentary.first_power = true;
    }
}

[[nodiscard]] std::string two_digits(int32_t v) {
    std::string s = std::to_string(v);
    if (s.size() < 2) s.insert(0, "0");
    return s;
}

struct ClockParts { int32_t hours, minutes, seconds; };

[[nodiscard]] ClockParts split_clock(int32_t ticks) {
    const int32_t rest = ticks % kTicksPerHour;
    return {ticks / kTicksPerHour, rest / kTicksPerMinute, rest % kTicksPerMinute / kTicksPerSecond};
}

struct HandTip { int x, y; };

// Tip of a hand drawn from the clock picture's centre (25, 25); 0 degrees up, clockwise.
[[nodiscard]] HandTip hand_tip(long double degrees, int32_t length) {
    const long double a = degrees * std::numbers::pi_v<long double> / 180.0L;
    return {static_cast<int>(hand_point_x(length, 25, a)), static_cast<int>(hand_point_y(length, 25, a))};
}

}  // namespace

void Door_operate(Run& run) {
    StationState& st = run.stations;
    st.door_command = false;
    if (whole_kmh(run.core.Speed) != 0) return;
    if (!run.core.TractionCut) {
        st.door_command = true;
        restart(run.sound(), run.train.sound_door_open);
    } else {
        st.door_command = false;
        restart(run.sound(), run.train.sound_door_close);
    }
    if (st.door_command) run.core.TractionCut = true;
}

void door_closing_completion(Run& run) {
    SoundChannels& sound = run.sound();
    if (!run.stations.door_command && !is_playing(sound, run.train.sound_door_open) &&
        !is_playing(sound, run.train.sound_door_close) && !run.view.Lamp_Door) {
        run.view.Lamp_Door = true;
        run.core.TractionCut = false;
        restart(sound, run.train.dep_sign);
        kanko_queue_add_slot(run, kSlotDoorsClosed);
    }
    if (run.core.TractionCut) run.view.Lamp_Door = false;
}

void stations_step(Run& run) {
    const size_t n = std::min(run.route.stations.size(), run.stations.flags.size());
    for (size_t i = 0; i < n; ++i) station_work(run, i);
}

void stop_alert_step(Run& run) {
    SoundChannels& sound = run.sound();
    const int ch = run.train.sound_stop;
    const int64_t frame = run.core.Frame;
    for (const int32_t x : run.route.stop_sounds) {
        if (x < frame && frame < static_cast<int64_t>(x) + 30 && !is_playing(sound, ch)) {
            sound.play_looping(ch);
        }
    }
    if (run.core.Speed < kFixedOne && run.core.TractionCut) {
        stop_if_playing(sound, ch);
        run.view.Lamp_stopalert = false;
    }
    if (is_playing(sound, ch)) blink(run.window_ticks, run.view.Lamp_stopalert);
}

void clock_step(Run& run) {
    if (run.window_ticks % 10 == 0) timecalc(run, run.core.ClockTicks);
}

std::string clock_text(int32_t ticks) {
    const ClockParts c = split_clock(ticks);
    return two_digits(c.hours) + ":" + two_digits(c.minutes) + ":" + two_digits(c.seconds);
}

void timecalc(Run& run, int32_t ticks) {
    run.view.Label3 = clock_text(ticks);
    const PanelDef& panel = run.train.panel;
    if (panel.clock_x <= 0 || panel.clock_y <= 0) return;

    const ClockParts c = split_clock(ticks);
    const int32_t length = panel.clock_length;
    // Hours are not reduced modulo 12: the angle simply runs on.
    const HandTip h = hand_tip(c.hours * 30.0L + c.minutes * 0.5L, round_int(length * 0.6L));
    const HandTip m = hand_tip(c.minutes * 6.0L + c.seconds * 0.1L, length);
    const HandTip s = hand_tip(c.seconds * 6.0L, length);
    CabView& v = run.view;
    v.clock_drawn = true;
    v.hour_x = h.x;
    v.hour_y = h.y;
    v.minute_x = m.x;
    v.minute_y = m.y;
    v.second_x = s.x;
    v.second_y = s.y;
}

void Timekanko(Run& run, int32_t scheduled) {
    const TimetablePhrases p = timetable_phrases(static_cast<int64_t>(run.core.ClockTicks) - scheduled);
    for (int k = 0; k < p.count; ++k) kanko_queue_add_slot(run, p.slots[static_cast<size_t>(k)]);
}

void Timecheck(Run& run, int32_t kind) {
    for (const TimeCheck& t : run.route.time_checks) {
        if (t.kind == kind && t.from < run.core.Frame && run.core.Frame < t.to) Timekanko(run, t.time);
    }
}

}  // namespace vantrel
