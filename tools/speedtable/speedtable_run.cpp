#include "speedtable/speedtable_run.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/ffmpeg_frame_reader.hpp"
#include "platform/film_index.hpp"
#include "speedtable/gps_track.hpp"

namespace vantrel::speedtable {
namespace {

constexpr std::string_view kUsage =
    "usage: vantrel-speedtable --gpx TRACK.gpx|LOG.nmea --film FILM\n"
    "                          (--start TIME | --mark FRAME=TIME --mark FRAME=TIME)\n"
    "                          [--step KMH] [--noise METRES] [--frames N --fps RATE]\n";
constexpr double kRateSlack = 0.01;  // marks further off the film's rate are probably misread

std::optional<double> positive(const std::string& s, double high) {
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0' || !(v > 0) || v > high) return std::nullopt;
    return v;
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
        } else if (a == "--frames" && (number = positive(v, static_cast<double>(kMaxFilmFrames))) &&
                   *number == std::floor(*number)) {
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
    if (o.marks.size() == 2 && std::fabs(rate / fps - 1) > kRateSlack)
        err << "vantrel-speedtable: the two marks give " << rate << " frames a second, the film " << fps
            << ": a mark is probably misread\n";
    FilmClock clock;
    clock.t0 = t0;
    clock.rate = rate;
    clock.frames = frames;
    TableRequest request;
    request.step_kmh = o.step_kmh;
    request.noise_m = o.noise_m;
    return write_speed_table(log, clock, request, out, err);
}

}  // namespace vantrel::speedtable
