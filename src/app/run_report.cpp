#include "app/run_report.hpp"

#include <algorithm>
#include <cmath>

#include "app/run.hpp"
#include "common/fixed_point.hpp"

namespace vantrel {
namespace {

// A standstill this close to a stop point (either side) is a stop at that station.
constexpr long double kStopZoneCm = 20000;
constexpr int32_t kVigilanceAlarm = 601;  // the counter at which the vigilance bell rings
constexpr int32_t kTicksPerStep = 3;      // clock ticks of 1/30 s per 100 ms step
constexpr int64_t kMaxFramesPerStep = 100;  // more in one step is a jump, not a run

std::optional<int32_t> scheduled(const RouteTables& route, int32_t station, int32_t kind) {
    for (const CommentaryLink& r : route.station_kanko)
        if (r.index == station && r.kind == kind && r.value > 998) return r.value;
    return std::nullopt;
}

}  // namespace

std::optional<int32_t> speed_limit_at(const Run& run) {
    std::optional<int32_t> limit;
    if (run.route.speed_g > 0) limit = run.route.speed_g;
    const int32_t f = run.core.Frame;
    for (const SpeedLimit& l : run.route.speed_limits)
        if (l.sign_frame < f && f < l.zone_end && l.limit > 0) limit = std::min(limit.value_or(l.limit), l.limit);
    return limit;
}

void RunReport::begin(const Run& run) {
    const RouteTables& route = run.route;
    data_ = {};
    data_.line_name = route.line_name;
    data_.train = run.train_file;
    watch_.assign(route.stations.size(), {});
    last_stop_ = -1;
    for (size_t i = 0; i < route.stations.size(); ++i) {
        const Station& s = route.stations[i];
        const auto index = static_cast<int32_t>(i);
        StationReport r;
        r.name = s.name;
        r.stop = s.type != 1;
        StationWatch& w = watch_[i];
        w.mid_frame = static_cast<int32_t>((static_cast<int64_t>(s.platform_start) + s.platform_end) / 2);
        w.has_stop_point = r.stop && s.has_stop_distance;
        w.stop_cm = s.stop_distance;
        if (r.stop) {
            last_stop_ = index;
            r.scheduled_arrival = scheduled(route, index, 0);
            // Without a scheduled departure the door-close time is the earliest one.
            r.scheduled_departure = scheduled(route, index, 2);
            if (!r.scheduled_departure) r.scheduled_departure = s.door_close_time;
        } else {
            // A pass station's time is the time check of kind 1 over its platform.
            for (const TimeCheck& t : route.time_checks)
                if (t.kind == 1 && t.from < w.mid_frame && w.mid_frame < t.to) r.scheduled_arrival = t.time;
            if (!r.scheduled_arrival) r.scheduled_arrival = scheduled(route, index, 0);
        }
        data_.stations.push_back(std::move(r));
    }
    last_frame_ = run.core.Frame;
    last_distance_ = run.core.Distance;
    last_vigilance_ = run.ats.vigilance_counter;
    was_standing_ = round_int(real(run.core.Speed)) == 0;
    was_emergency_ = run.core.AtsEmergency;
    finished_ = false;
    open_overspeed_.reset();
    // The train stands at its first station: that station's departure is watched.
    for (size_t i = 0; i < watch_.size(); ++i)
        if (watch_[i].has_stop_point && std::fabs(run.core.Distance - watch_[i].stop_cm) <= kStopZoneCm)
            watch_[i].here = watch_[i].start = true;
}

RunReportData RunReport::result() const {
    RunReportData out = data_;
    if (open_overspeed_) out.overspeed.push_back(*open_overspeed_);
    return out;
}

void RunReport::observe(const Run& run) {
    if (watch_.size() != run.route.stations.size()) begin(run);
    const int32_t speed = round_int(real(run.core.Speed));
    const bool standing = speed == 0;
    watch_stations(run, standing, was_standing_ && !standing);
    watch_emergency(run);
    watch_speed(run, std::abs(speed));
    was_standing_ = standing;
    last_frame_ = run.core.Frame;
    last_distance_ = run.core.Distance;
    last_vigilance_ = run.ats.vigilance_counter;
}

void RunReport::watch_stations(const Run& run, bool standing, bool started) {
    const CoreState& c = run.core;
    const int32_t now = c.ClockTicks;
    const bool jumped = std::abs(static_cast<int64_t>(c.Frame) - last_frame_) > kMaxFramesPerStep;  // the Move menu
    for (size_t i = 0; i < watch_.size(); ++i) {
        StationWatch& w = watch_[i];
        StationReport& r = data_.stations[i];
        const Station& s = run.route.stations[i];
        if (!r.stop) {
            // Passing time: the head reaches the middle of the platform.
            if (!r.arrival && last_frame_ < w.mid_frame && c.Frame >= w.mid_frame && !jumped) r.arrival = now;
            continue;
        }
        if (!w.has_stop_point) continue;
        const long double off = c.Distance - w.stop_cm;
        const bool in_zone = std::fabs(off) <= kStopZoneCm;
        if (!in_zone) {
            w.here = false;
            // Run through the zone's far end without a stop.
            if (off > 0 && last_distance_ - w.stop_cm <= kStopZoneCm && !r.arrival && !w.start && !jumped)
                r.missed = true;
            continue;
        }
        if (standing && !was_standing_) {
            // A new standstill: the first is the arrival, the last one counts for the error.
            if (!r.arrival) r.arrival = now;
            r.stop_error_cm = round_int(off);
            r.inside_platform = s.platform_start <= c.Frame && c.Frame <= s.platform_end;
            r.departure.reset();
            w.here = true;
        } else if (started && w.here) {
            r.departure = now;  // a later start (creeping up) replaces it
        }
    }
    if (last_stop_ >= 0) {
        const StationReport& last = data_.stations[static_cast<size_t>(last_stop_)];
        if (last.arrival && standing && c.TractionCut && watch_[static_cast<size_t>(last_stop_)].here) finished_ = true;
    }
}

void RunReport::watch_emergency(const Run& run) {
    const bool on = run.core.AtsEmergency;
    if (on && !was_emergency_) {
        // The vigilance device fires from its bell at 65 s; anything else is the ATS.
        const bool vigilance = last_vigilance_ >= kVigilanceAlarm && run.ats.vigilance_counter == 0;
        data_.emergencies.push_back({vigilance ? EmergencyKind::Vigilance : EmergencyKind::Ats, run.core.ClockTicks,
                                     run.core.Frame, run.core.Distance / 100});
    }
    was_emergency_ = on;
}

void RunReport::watch_speed(const Run& run, int32_t speed) {
    const std::optional<int32_t> limit = speed_limit_at(run);
    const bool over = limit && speed > *limit;
    if (open_overspeed_ && (!over || open_overspeed_->limit != *limit)) {
        data_.overspeed.push_back(*open_overspeed_);
        open_overspeed_.reset();
    }
    if (!over) return;
    if (!open_overspeed_) {
        open_overspeed_ = OverspeedReport{*limit, 0, run.core.ClockTicks, 0, run.core.Frame, run.core.Distance / 100};
    }
    // Each step stands for the 100 ms up to it.
    open_overspeed_->duration = run.core.ClockTicks - open_overspeed_->time + kTicksPerStep;
    open_overspeed_->over_by = std::max(open_overspeed_->over_by, speed - *limit);
}

}  // namespace vantrel
