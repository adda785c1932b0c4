#include "speedtable/table_pipeline.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "route/route_derive.hpp"
#include "speedtable/speed_table.hpp"
#include "speedtable/track_index.hpp"
#include "speedtable/track_smoother.hpp"

namespace vantrel::speedtable {
namespace {

constexpr double kMissWarning = 100;  // metres off the track: a waypoint probably misplaced
constexpr double kWildShare = 0.05;   // more fixes off the track than this: no table
constexpr double kStoodMetres = 5;    // closer than this the train stood (GPS noise aside)
constexpr double kMargin = 600;       // seconds of log either side of the film that shape its ends
constexpr double kFastest = 200;      // m/s: no filming train is faster; a wild fix went unjudged

// "2024-05-01 10:00:00": dates too, as a log from another day has the same clock times.
std::string date_time_of(double t) {
    const auto s = static_cast<int64_t>(std::floor(std::clamp(t, -1e13, 1e13)));
    int64_t z = (s >= 0 ? s : s - 86399) / 86400;
    const int64_t sod = s - z * 86400;
    // Civil date from days since 1970 (proleptic Gregorian).
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2);
    char b[128];
    std::snprintf(b, sizeof b, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(sod / 3600),
                  static_cast<long long>(sod / 60 % 60), static_cast<long long>(sod % 60));
    return b;
}

std::string clock_of(double t) { return date_time_of(t).substr(11); }

std::string fixed1(double v) {
    char b[48];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

// A name as one field of a route record.
std::string field(std::string name) {
    for (char& c : name)
        if (c == ',' || c == '\n' || c == '\r') c = ' ';
    return name;
}

// The table's distance at every frame (metres), by the program's own rule: the records
// are in frame order and meet, so one walk finds each frame's record.
std::vector<double> table_metres(const SpeedTable& table, int32_t frames) {
    RouteTables route;
    route.speed_units = table.records;
    std::vector<double> d(static_cast<size_t>(frames));
    size_t i = 0;
    long double passed = 0;
    for (int32_t f = 0; f < frames; ++f) {
        while (i < route.speed_units.size() && route.speed_units[i].end < f) passed = route.speed_units[i++].end_distance;
        const bool inside = i < route.speed_units.size() && route.speed_units[i].start <= f;
        d[static_cast<size_t>(f)] = static_cast<double>((inside ? segment_distance(route, i, f) : passed) / 100);
    }
    return d;
}

double at(const std::vector<double>& v, double f) {
    const double x = std::clamp(f, 0.0, static_cast<double>(v.size() - 1));
    const auto i = static_cast<size_t>(x);
    if (i + 1 >= v.size()) return v.back();
    return v[i] + (x - static_cast<double>(i)) * (v[i + 1] - v[i]);
}

double median(std::vector<double> v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

}  // namespace

int write_speed_table(const GpsLog& log, const FilmClock& clock, const TableRequest& request, std::ostream& out,
                      std::ostream& err) {
    const double t0 = clock.t0, rate = clock.rate;
    const int32_t frames = clock.frames;
    if (log.points.size() < 2 || frames < 2 || !(rate > 0) || !std::isfinite(t0)) {
        err << "vantrel-speedtable: too few fixes or frames for a table\n";
        return kExitFailed;
    }
    const double t_end = t0 + (frames - 1) / rate;
    const double log_from = log.points.front().time, log_to = log.points.back().time;
    if (t_end < log_from || t0 > log_to) {
        err << "vantrel-speedtable: the film (" << date_time_of(t0) << " to " << date_time_of(t_end) << " GPS time) and the log ("
            << date_time_of(log_from) << " to " << date_time_of(log_to) << ") do not meet";
        // The same clock times on other days: most likely a date mistyped or a log of another run.
        const double days = std::round((t0 - log_from) / 86400);
        if (days != 0 && t_end - days * 86400 >= log_from && t0 - days * 86400 <= log_to)
            err << ": they are " << static_cast<long long>(std::fabs(days)) << (std::fabs(days) == 1 ? " day" : " days")
                << " apart at the same time of day";
        err << "\n";
        return kExitFailed;
    }

    // Only the log around the film is smoothed: the rest cannot move the film's distance,
    // and a stray fix years off (a receiver's date gone wrong) costs nothing.
    std::vector<TrackPoint> points;
    for (const TrackPoint& p : log.points)
        if (p.time >= t0 - kMargin && p.time <= t_end + kMargin) points.push_back(p);
    if (points.size() < 2) {
        err << "vantrel-speedtable: the log holds fewer than two fixes within " << kMargin / 60
            << " minutes of the film (" << date_time_of(t0) << " to " << date_time_of(t_end) << ")\n";
        return kExitFailed;
    }
    SmoothOptions smooth;
    smooth.noise_m = request.noise_m;
    const SmoothTrack track(points, smooth);
    const auto fixes = static_cast<double>(points.size());
    if (track.outliers() > kWildShare * fixes) {
        err << "vantrel-speedtable: " << track.outliers() << " of " << points.size() << " fixes ("
            << fixed1(track.outliers() / fixes * 100) << " %) lie off the track the others give: the log is too wild "
            << "for a true table (a merely noisy log may pass with a larger --noise)\n";
        return kExitFailed;
    }
    std::vector<double> distance(static_cast<size_t>(frames));
    const double d0 = track.distance_at(t0);
    for (int32_t f = 0; f < frames; ++f) distance[static_cast<size_t>(f)] = track.distance_at(t0 + f / rate) - d0;

    for (int32_t f = 0; f + 1 < frames; ++f) {
        const double speed = std::fabs(distance[static_cast<size_t>(f) + 1] - distance[static_cast<size_t>(f)]) * rate;
        if (!(speed <= kFastest)) {
            err << "vantrel-speedtable: the track runs at " << fixed1(speed * 3.6) << " km/h at frame " << f << " ("
                << date_time_of(t0 + f / rate) << "): no filming train is that fast; the fixes there are wild\n";
            return kExitFailed;
        }
    }
    TableOptions table_options;
    table_options.step_kmh = request.step_kmh;
    const SpeedTable table = build_speed_table(distance, table_options);
    if (table.records.empty()) {
        err << "vantrel-speedtable: no table of " << kTableCapacity << " records fits this film\n";
        return kExitFailed;
    }
    const std::vector<double> metres = table_metres(table, frames);

    out << speed_unit_text(table);
    for (const Standing& s : table.standing)
        out << "; standing " << s.from << "," << s.to << " (" << fixed1((s.to - s.from + 1) / rate)
            << " s at 1 km/h: cut these frames from the film)\n";
    if (!log.waypoints.empty()) {
        const TrackIndex index(track);
        for (const Waypoint& w : log.waypoints) {
            const Passing p = index.passing(w.lat, w.lon);
            double time = p.time;
            // Passed before filming began (or after it ended) where the train still stood
            // when it began: the place is in the film, at its start.
            const double inside = std::clamp(time, t0, t_end);
            if (std::fabs(track.distance_at(inside) - track.distance_at(time)) <= kStoodMetres) time = inside;
            const double f = (time - t0) * rate;
            if (!(f > -0.5 && f < frames - 0.5)) {
                err << "vantrel-speedtable: waypoint " << w.name << " lies outside the film\n";
                continue;
            }
            auto frame = static_cast<int32_t>(std::lround(f));
            // A place where the train stood belongs at the first frame of the stand (the
            // smoothed track may reach it a little before the table's stand begins).
            for (const Standing& s : table.standing) {
                if (frame <= s.to &&
                    std::fabs(distance[static_cast<size_t>(frame)] - distance[static_cast<size_t>(s.from)]) <= kStoodMetres) {
                    frame = s.from;
                    break;
                }
            }
            if (p.miss_m > kMissWarning)
                err << "vantrel-speedtable: waypoint " << w.name << " lies " << fixed1(p.miss_m) << " m off the track\n";
            out << field(w.name) << "," << frame << "," << fixed1(metres[static_cast<size_t>(frame)]) << "\n";
        }
    }

    // How far the table is from the fixes themselves, along the track: a poor fit of the
    // smoothed curve shows here, not only the table's fit to that curve. The metres that
    // standing frames add at 1 km/h are stated apart.
    const std::vector<double> drivable = drivable_distance(distance);
    std::vector<double> errors;
    for (size_t i = 0; i < points.size(); ++i) {
        const TrackPoint& fix = points[i];
        if (!track.used()[i] || fix.time < t0 || fix.time > t_end) continue;
        const double f = (fix.time - t0) * rate;
        const double added = at(drivable, f) - at(distance, f);
        errors.push_back(std::fabs(at(metres, f) - added - (track.fix_distance(fix) - d0)));
    }
    err << "vantrel-speedtable: " << points.size() << " fixes";
    if (points.size() < log.points.size()) err << " around the film of " << log.points.size();
    err << " (" << log.skipped << " unreadable, " << log.repeated
        << " at a time already taken, " << track.outliers() << " outliers left out), " << frames << " frames at "
        << fixed1(rate) << " a second; " << table.records.size() << " records at a step of " << fixed1(table.step_kmh)
        << " km/h; ";
    if (errors.empty()) {
        err << "no fix falls within the film to check the table against; ";
    } else {
        err << "the table's distance is " << fixed1(median(errors)) << " m (median) and "
            << fixed1(*std::max_element(errors.begin(), errors.end())) << " m (worst) from the fixes' along the track; ";
    }
    err << fixed1(drivable.back() - distance.back()) << " m added by slow frames\n";
    for (const Gap& g : track.gaps())
        err << "vantrel-speedtable: no fix from " << clock_of(g.from) << " to " << clock_of(g.to) << " ("
            << fixed1(g.to - g.from) << " s, " << fixed1(g.metres) << " m): bridged by the fixes either side\n";
    if (t0 < points.front().time - 2 || t_end > points.back().time + 2)
        err << "vantrel-speedtable: the film runs beyond the log; there the speed of the log's end is kept\n";
    return kExitOk;
}

}  // namespace vantrel::speedtable
