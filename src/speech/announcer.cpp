#include "speech/announcer.hpp"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "app/run.hpp"
#include "app/run_report.hpp"
#include "common/fixed_point.hpp"

namespace vantrel::speech {
namespace {

constexpr int32_t kVigilanceAlarm = 601;  // 100 ms steps without a driver action
constexpr int64_t kOverspeedRepeatMs = 10000;
constexpr long double kJumpCm = 5000;  // more in one step than any train runs: a jump

int32_t speed_kmh(const Run& run) { return std::abs(round_int(real(run.core.Speed))); }

// Distances as spoken: tenths of a metre below 10 m, whole metres above.
double spoken_metres(long double cm) {
    const long double m = cm / 100;
    if (std::fabs(m) < 10) return static_cast<double>(std::round(m * 10) / 10);
    return static_cast<double>(std::round(m));
}

// The first station whose platform the train has not yet left; -1 past the last.
int32_t station_ahead(const Run& run) {
    const auto& st = run.route.stations;
    for (size_t i = 0; i < st.size(); ++i)
        if (run.core.Frame <= st[i].platform_end) return static_cast<int32_t>(i);
    return -1;
}

HandleWords handle_words(const Run& run) {
    const CoreState& c = run.core;
    const bool manual = run.train.engine_type == 0 && run.train.gear_manual == 1;
    return HandleWords{c.Reverser, c.PowerHandle, -c.BrakeHandle,
                       c.BrakeHandle <= -run.train.brake_notches && c.BrakeHandle < 0, c.HoldPosition,
                       manual ? run.traction.target_gear : -1};
}

}  // namespace

void Announcer::say(int64_t ms, Kind kind, double value, std::string text) {
    out_.push_back(Utterance{ms, kind, value, std::move(text)});
}

std::vector<Utterance> Announcer::take() { return std::exchange(out_, {}); }

void Announcer::observe(const Run& run, int64_t ms) {
    const CoreState& c = run.core;
    const int32_t speed = speed_kmh(run);
    if (!started_ || std::fabs(c.Distance - last_distance_) > kJumpCm) {
        // A start or a jump: take the run as it stands, announce only what changes later.
        started_ = true;
        doors_ = c.TractionCut;
        alarm_ = run.ats.AtsAlarm;
        chime_ = run.ats.AtsChime;
        emergency_ = c.AtsEmergency;
        pattern_ = run.ats.PatternState;
        cab_brake_ = run.ats.CabSignalBrake;
        vigilance_ = run.ats.vigilance_counter;
        last_frame_ = c.Frame;
        last_distance_ = c.Distance;
        last_remaining_ = c.RemainingDistance;
        target_ = c.TargetDistance;
        countdown_said_ = 0;
        for (size_t i = 0; i < std::size(kCountdown); ++i)
            if (c.RemainingDistance <= kCountdown[i] * 100.0L) countdown_said_ |= 1u << i;
        at_point_said_ = stood_said_ = std::fabs(c.RemainingDistance) <= 50;
        limit_said_.assign(run.route.speed_limits.size(), 0);
        last_speed_ = speed;
        signal_index_ = run.ats.signal_index;
        signal_code_ = run.ats.CurrentSignalCode;
        return;
    }
    watch_signal(run, ms);
    watch_limits(run, ms);
    watch_stations(run, ms, speed);
    watch_safety(run, ms);
    last_frame_ = c.Frame;
    last_distance_ = c.Distance;
    last_remaining_ = c.RemainingDistance;
    last_speed_ = speed;
}

void Announcer::watch_signal(const Run& run, int64_t ms) {
    const AtsState& a = run.ats;
    if (a.signal_index == signal_index_ && a.CurrentSignalCode == signal_code_) return;
    signal_index_ = a.signal_index;
    signal_code_ = a.CurrentSignalCode;
    if (a.CurrentSignalCode == kNone) return;  // passed: the next section announces itself
    const auto& sigs = run.route.signals;
    const auto i = static_cast<size_t>(a.signal_index);
    const std::string_view name = i < sigs.size() ? std::string_view(sigs[i].name) : std::string_view();
    say(ms, Kind::signal, a.CurrentSignalCode, texts_.signal(name, a.CurrentSignalCode));
}

void Announcer::watch_limits(const Run& run, int64_t ms) {
    const auto& limits = run.route.speed_limits;
    if (limit_said_.size() != limits.size()) limit_said_.assign(limits.size(), 0);
    const std::optional<int32_t> in_force = speed_limit_at(run);
    constexpr int32_t kAt[] = {300, 100};
    for (size_t i = 0; i < limits.size(); ++i) {
        const SpeedLimit& l = limits[i];
        if (l.limit <= 0 || (in_force && l.limit >= *in_force)) continue;
        const long double before = (l.distance - last_distance_) / 100, now = (l.distance - run.core.Distance) / 100;
        for (int k = 0; k < 2; ++k) {
            const uint8_t bit = static_cast<uint8_t>(1u << k);
            if ((limit_said_[i] & bit) || !(before > kAt[k] && now <= kAt[k] && now > 0)) continue;
            limit_said_[i] |= bit;
            say(ms, Kind::limit_ahead, kAt[k], texts_.limit_ahead(l.limit, kAt[k]));
        }
    }
    const int32_t speed = speed_kmh(run);
    if (in_force && speed > *in_force) {
        if (!overspeed_ms_ || ms - *overspeed_ms_ >= kOverspeedRepeatMs) {
            overspeed_ms_ = ms;
            say(ms, Kind::overspeed, *in_force, texts_.overspeed(*in_force));
        }
    } else {
        overspeed_ms_.reset();
    }
}

void Announcer::watch_stations(const Run& run, int64_t ms, int32_t speed) {
    const CoreState& c = run.core;
    const auto& st = run.route.stations;
    // Leaving a platform: the next station and whether the train stops there.
    for (size_t i = 0; i < st.size(); ++i) {
        if (!(last_frame_ <= st[i].platform_end && c.Frame > st[i].platform_end)) continue;
        if (i + 1 < st.size()) {
            say(ms, Kind::station, st[i + 1].type, texts_.station(st[i + 1].name, st[i + 1].type));
        } else {
            say(ms, Kind::station, -1, texts_.station({}, -1));
        }
    }
    if (c.TargetDistance != target_) {
        target_ = c.TargetDistance;
        countdown_said_ = 0;
        at_point_said_ = stood_said_ = false;
    }
    if (target_ <= 0) return;  // no stop point set yet
    const long double r = c.RemainingDistance;
    // The countdown: one announcement per step, the nearest mark crossed.
    int32_t crossed = -1;
    for (size_t i = 0; i < std::size(kCountdown); ++i) {
        const long double mark = kCountdown[i] * 100.0L;
        if ((countdown_said_ & (1u << i)) || !(last_remaining_ > mark && r <= mark)) continue;
        countdown_said_ |= 1u << i;
        crossed = kCountdown[i];
    }
    if (crossed > 0 && r > 50) say(ms, Kind::stop_distance, crossed, texts_.stop_distance(crossed));
    if (!at_point_said_ && std::fabs(r) <= 50 && (std::fabs(last_remaining_) > 50 || speed == 0)) {
        at_point_said_ = true;
        say(ms, Kind::stopped, 0, texts_.at_stop_point());
    }
    // Coming to a stand near the stop point: how far off it the train stands.
    if (!stood_said_ && speed == 0 && last_speed_ > 0 && std::fabs(r) < 10000) {
        stood_said_ = true;
        say(ms, Kind::stopped, spoken_metres(-r), texts_.stood(spoken_metres(-r)));
    }
}

void Announcer::watch_safety(const Run& run, int64_t ms) {
    const AtsState& a = run.ats;
    const CoreState& c = run.core;
    if (a.AtsAlarm && !alarm_) say(ms, Kind::ats, kAtsAlarm, texts_.ats(kAtsAlarm));
    if (a.AtsChime && !chime_) say(ms, Kind::ats, kAtsConfirmed, texts_.ats(kAtsConfirmed));
    if (a.PatternState != pattern_) {
        const int32_t w = a.PatternState == 1 ? kAtsPatternNear : a.PatternState == 2 ? kAtsBraking : kAtsReleased;
        say(ms, Kind::ats, w, texts_.ats(w));
    }
    if (a.CabSignalBrake != cab_brake_) {
        const int32_t w = a.CabSignalBrake ? kAtsBraking : kAtsReleased;
        say(ms, Kind::ats, w, texts_.ats(w));
    }
    if (a.vigilance_counter >= kVigilanceAlarm && vigilance_ < kVigilanceAlarm) say(ms, Kind::vigilance, 1, texts_.vigilance(1));
    if (c.AtsEmergency && !emergency_) {
        // The vigilance device trips from its alarm and restarts its count.
        if (vigilance_ >= kVigilanceAlarm && a.vigilance_counter == 0) {
            say(ms, Kind::vigilance, 2, texts_.vigilance(2));
        } else {
            say(ms, Kind::ats, kAtsEmergency, texts_.ats(kAtsEmergency));
        }
    }
    if (c.TractionCut != doors_) say(ms, Kind::doors, c.TractionCut ? 1 : 0, texts_.doors(c.TractionCut));
    alarm_ = a.AtsAlarm;
    chime_ = a.AtsChime;
    pattern_ = a.PatternState;
    cab_brake_ = a.CabSignalBrake;
    vigilance_ = a.vigilance_counter;
    emergency_ = c.AtsEmergency;
    doors_ = c.TractionCut;
}

bool Announcer::request(const Run& run, char key, int64_t ms) {
    const CoreState& c = run.core;
    switch (key) {
        case kKeySpeed: say(ms, Kind::speed, speed_kmh(run), texts_.speed(speed_kmh(run))); return true;
        case kKeyLimit: {
            const int32_t now = speed_limit_at(run).value_or(0);
            say(ms, Kind::limit, now, texts_.limit(now));
            const SpeedLimit* next = nullptr;
            for (const SpeedLimit& l : run.route.speed_limits)
                if (l.limit > 0 && l.distance > c.Distance && (!next || l.distance < next->distance)) next = &l;
            const double m = next ? spoken_metres(next->distance - c.Distance) : 0;
            say(ms, Kind::limit_ahead, m, texts_.limit_ahead(next ? next->limit : 0, m));
            return true;
        }
        case kKeySignal: {
            const auto i = static_cast<size_t>(run.ats.signal_index);
            const auto& sigs = run.route.signals;
            const int32_t code = run.ats.CurrentSignalCode;
            say(ms, Kind::signal, code, texts_.signal(i < sigs.size() ? sigs[i].name : std::string(), code));
            return true;
        }
        case kKeyStation: {
            const int32_t i = station_ahead(run);
            if (i < 0) {
                say(ms, Kind::station, -1, texts_.station({}, -1));
                return true;
            }
            const Station& s = run.route.stations[static_cast<size_t>(i)];
            say(ms, Kind::station, s.type, texts_.station(s.name, s.type));
            // Before the first departure no target is set: the first stop beyond this platform.
            std::optional<long double> remaining;
            if (c.TargetDistance > 0) remaining = c.RemainingDistance;
            for (const Station& n : run.route.stations)
                if (!remaining && n.type == 0 && n.has_stop_distance && n.platform_start > c.Frame)
                    remaining = n.stop_distance - c.Distance;
            if (remaining) {
                const double m = spoken_metres(*remaining);
                say(ms, Kind::stop_distance, m, texts_.stop_distance(m));
            }
            return true;
        }
        case kKeyTime: {
            const auto& st = run.route.stations;
            int32_t i = station_ahead(run);
            while (i >= 0 && static_cast<size_t>(i) < st.size() && st[static_cast<size_t>(i)].type == 1) ++i;
            const bool has = i >= 0 && static_cast<size_t>(i) < st.size();
            const int32_t margin = has ? (st[static_cast<size_t>(i)].dep_sound_time - c.ClockTicks) / 30 : 0;
            say(ms, Kind::time, margin,
                texts_.time(c.ClockTicks, has ? std::string_view(st[static_cast<size_t>(i)].name) : std::string_view(), margin, has));
            return true;
        }
        case kKeyHandles: {
            const HandleWords h = handle_words(run);
            // Hold stands between off and the first brake notch.
            const double value = h.emergency ? -run.train.brake_notches : h.brake > 0 ? -h.brake : h.power > 0 ? h.power : h.hold ? -0.5 : 0;
            say(ms, Kind::handles, value, texts_.handles(h));
            return true;
        }
        default: return false;
    }
}

}  // namespace vantrel::speech
