// A GPS log (GPX, or NMEA when it starts with '$') on arbitrary bytes, and what the
// reader accepts through the whole table pipeline with a film over the log's first
// half minute: a log is refused with a reason or gives points the smoother can take, and
// the pipeline ends with a table or a reason, never a crash, hang or overrun.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "fuzz_support.hpp"
#include "speedtable/gps_track.hpp"
#include "speedtable/table_pipeline.hpp"

namespace {

using namespace vantrel::speedtable;

void check_log(const GpsLog& log) {
    if (log.points.size() < 2) vantrel::fuzz::fail("accepted a log of fewer than two points");
    if (log.points.size() > kMaxPoints || log.waypoints.size() > kMaxWaypoints) vantrel::fuzz::fail("a log over its caps");
    for (size_t i = 0; i < log.points.size(); ++i) {
        const TrackPoint& p = log.points[i];
        if (!std::isfinite(p.time) || !(std::fabs(p.lat) <= 90) || !(std::fabs(p.lon) <= 180))
            vantrel::fuzz::fail("a point without a valid time and position");
        if (i > 0 && !(log.points[i - 1].time < p.time)) vantrel::fuzz::fail("points not strictly in time order");
    }
    for (const Waypoint& w : log.waypoints)
        if (w.name.empty() || !(std::fabs(w.lat) <= 90) || !(std::fabs(w.lon) <= 180))
            vantrel::fuzz::fail("a waypoint without a name or a valid position");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LogResult read = parse_gps_log(text);
    if (!read.log) {
        if (read.error.empty()) vantrel::fuzz::fail("a log refused without a reason");
        return 0;
    }
    const GpsLog& log = *read.log;
    check_log(log);
    // Frame 0 at the first fix, 30 frames a second for up to half a minute of the log.
    const double span = log.points.back().time - log.points.front().time;
    FilmClock clock;
    clock.t0 = log.points.front().time;
    clock.frames = static_cast<int32_t>(std::clamp(span * 30, 2.0, 900.0));
    std::ostringstream out, err;
    const int code = write_speed_table(log, clock, {}, out, err);
    if (code == kExitOk && out.str().rfind("[SpeedUnit]\n", 0) != 0) vantrel::fuzz::fail("a table without its section");
    if (code != kExitOk && (code != kExitFailed || err.str().empty())) vantrel::fuzz::fail("a failure without a reason");
    return 0;
}
