#include "speedtable/speedtable_run.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/ffmpeg_frame_reader.hpp"
#include "speedtable/gps_track.hpp"
#include "speedtable/speed_table.hpp"
#include "speedtable/track_smoother.hpp"

namespace vantrel::speedtable {
namespace {

constexpr std::string_view kUsage =
    "usage: vantrel-speedtable --gpx TRACK.gpx|LOG.nmea --film FILM\n"
    "                          (--start TIME | --mark FRAME=TIME --mark FRAME=TIME)\n"
    "                          [--step KMH] [--noise METRES] [--frames N --fps RATE]\n";
constexpr double kMissWarning = 100;  // metres off the track: a waypoint probably misplaced

std::optional<double> positive(const std::string& s, double high) {
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0' || !(v > 0) || v > high) return std::nullopt;
    return v;
}

std::string clock_of(double t) {
    const auto s = static_cast<int64_t>(std::floor(t));
    char b[32];
    std::snprintf(b, sizeof b, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600 % 24),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return b;
}

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

}  // namespace

std::optional<RunOptions> parse_arguments(int argc, const char* const* argv, std::ostream& err) {
    RunOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h" || i + 1 >= argc) {
            err << (i + 1 >= argc && a != "--help" && a != "-h" ? "vantrel-speedtable: " + std::string(a) + " needs a value\n" : "")
                << kUsage;
            return std::nullopt;
        }
        const std::string v = argv[++i];
        std::optional<double> number;
        if (a == "--gpx" || a == "--nmea") {
            o.log = v;
        } else if (a == "--film") {
            o.film = v;
        } else if (a == "--start") {
            if (!(o.start = parse_iso_time(v))) {
                err << "vantrel-speedtable: --start takes a time like 2024-05-01T10:00:00Z, not " << v << "\n";
                return std::nullopt;
            }
        } else if (a == "--mark") {
            const size_t eq = v.find('=');
            const auto time = eq == std::string::npos ? std::nullopt : parse_iso_time(v.substr(eq + 1));
            int32_t frame = -1;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + std::min(eq, v.size()), frame);
            if (!time || ec != std::errc() || end != v.data() + eq || frame < 0) {
                err << "vantrel-speedtable: --mark takes FRAME=TIME (1200=2024-05-01T10:00:40Z), not " << v << "\n";
                return std::nullopt;
            }
            o.marks.push_back({frame, *time});
        } else if (a == "--step" && (number = positive(v, 60))) {
            o.step_kmh = *number;
        } else if (a == "--noise" && (number = positive(v, 1000))) {
            o.noise_m = *number;
        } else if (a == "--frames" && (number = positive(v, 1e9)) && *number == std::floor(*number)) {
            o.frames = static_cast<int32_t>(*number);
        } else if (a == "--fps" && (number = positive(v, 1000))) {
            o.fps = *number;
        } else {
            err << "vantrel-speedtable: bad option or value: " << a << " " << v << "\n" << kUsage;
            return std::nullopt;
        }
    }
    const bool clock = o.start ? o.marks.empty() : o.marks.size() == 2;
    const bool film = o.film.empty() ? (o.frames > 0 && o.fps > 0) : o.frames < 0 && o.fps == 0;
    if (o.log.empty() || !clock || !film) {
        err << "vantrel-speedtable: give a log, the film (or --frames and --fps), and --start or two --mark\n"
            << kUsage;
        return std::nullopt;
    }
    return o;
}

int run_speedtable(const RunOptions& o, std::ostream& out, std::ostream& err) {
    int32_t frames = o.frames;
    double fps = o.fps;
    if (!o.film.empty()) {
        FfmpegFrameReader film;
        if (!film.open(o.film) || film.length() < 2 || !(film.frame_rate() > 0)) {
            err << "vantrel-speedtable: cannot read the film " << o.film << "\n";
            return kExitFailed;
        }
        frames = film.length();
        fps = film.frame_rate();
    }
    const LogResult read = read_gps_log(o.log);
    if (!read.log) {
        err << "vantrel-speedtable: " << o.log << ": " << read.error << "\n";
        return kExitFailed;
    }
    const GpsLog& log = *read.log;

    // The GPS time of each frame: from frame 0 at the film's rate, or through two marks.
    double t0 = 0, rate = fps;
    if (o.start) {
        t0 = *o.start;
    } else {
        const Mark& a = o.marks[0];
        const Mark& b = o.marks[1];
        rate = (b.frame - a.frame) / (b.time - a.time);
        if (!std::isfinite(rate) || rate < 1 || rate > 1000) {
            err << "vantrel-speedtable: the two marks give " << rate << " frames a second\n";
            return kExitFailed;
        }
        t0 = a.time - a.frame / rate;
    }
    const double t_end = t0 + (frames - 1) / rate;
    if (t_end < log.points.front().time || t0 > log.points.back().time) {
        err << "vantrel-speedtable: the film (" << clock_of(t0) << " to " << clock_of(t_end)
            << " GPS time) and the log (" << clock_of(log.points.front().time) << " to "
            << clock_of(log.points.back().time) << ") do not meet\n";
        return kExitFailed;
    }

    SmoothOptions smooth;
    smooth.noise_m = o.noise_m;
    const SmoothTrack track(log.points, smooth);
    std::vector<double> distance(static_cast<size_t>(frames));
    const double d0 = track.distance_at(t0);
    for (int32_t f = 0; f < frames; ++f) distance[static_cast<size_t>(f)] = track.distance_at(t0 + f / rate) - d0;

    TableOptions table_options;
    table_options.step_kmh = o.step_kmh;
    const SpeedTable table = build_speed_table(distance, table_options);
    if (table.records.empty()) {
        err << "vantrel-speedtable: no table of " << kTableCapacity << " records fits this film\n";
        return kExitFailed;
    }

    out << speed_unit_text(table);
    for (const Standing& s : table.standing)
        out << "; standing " << s.from << "," << s.to << " (" << fixed1((s.to - s.from + 1) / rate)
            << " s at 1 km/h: cut these frames from the film)\n";
    for (const Waypoint& w : log.waypoints) {
        const SmoothTrack::Passing p = track.passing(w.lat, w.lon);
        const auto frame = static_cast<int64_t>(std::lround((p.time - t0) * rate));
        if (frame < 0 || frame >= frames) {
            err << "vantrel-speedtable: waypoint " << w.name << " lies outside the film\n";
            continue;
        }
        if (p.miss_m > kMissWarning)
            err << "vantrel-speedtable: waypoint " << w.name << " lies " << fixed1(p.miss_m) << " m off the track\n";
        out << field(w.name) << "," << frame << "," << fixed1(static_cast<double>(table_distance_cm(table, frame)) / 100)
            << "\n";
    }

    // How well the table keeps the film's distance (every frame below 1 km/h at 1).
    const std::vector<double> drivable = drivable_distance(distance);
    double worst = 0;
    for (int32_t f = 0; f < frames; ++f) {
        const double want = drivable[static_cast<size_t>(f)];
        if (want < 100) continue;
        worst = std::max(worst, std::fabs(static_cast<double>(table_distance_cm(table, f)) / 100 - want) / want);
    }
    err << "vantrel-speedtable: " << log.points.size() << " fixes (" << log.skipped << " unreadable, "
        << track.outliers() << " outliers left out), " << frames << " frames at " << fixed1(rate)
        << " a second; " << table.records.size() << " records at a step of " << fixed1(table.step_kmh)
        << " km/h; the table keeps the film's distance (below 1 km/h at 1) within " << fixed1(worst * 100)
        << " % beyond 100 m; " << fixed1(drivable.back() - distance.back()) << " m added by slow frames\n";
    for (const Gap& g : track.gaps())
        err << "vantrel-speedtable: no fix from " << clock_of(g.from) << " to " << clock_of(g.to) << " ("
            << fixed1(g.to - g.from) << " s): bridged\n";
    if (t0 < log.points.front().time - 2 || t_end > log.points.back().time + 2)
        err << "vantrel-speedtable: the film runs beyond the log; there the speed of the log's end is kept\n";
    return kExitOk;
}

}  // namespace vantrel::speedtable
