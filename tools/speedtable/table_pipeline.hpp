#pragma once
// From a read GPS log and the film's clock to the "[SpeedUnit]" table, the standing
// stretches, the waypoints' frames and a summary that says how far the table is from the
// fixes. No film or device is touched here (the fuzz harness drives it as it is).
#include <cstdint>
#include <ostream>

#include "speedtable/gps_track.hpp"

namespace vantrel::speedtable {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 2;  // the log, the film or the clocks would not do
inline constexpr int kExitUsage = 64;

// The GPS time of frame f is t0 + f / rate.
struct FilmClock {
    double t0 = 0;
    double rate = 30;
    int32_t frames = 0;
};

struct TableRequest {
    double step_kmh = 2;
    double noise_m = 5;
};

// Writes the table and waypoints to `out`, notes and the summary to `err`; kExitOk, or
// kExitFailed with the reason on `err`.
int write_speed_table(const GpsLog& log, const FilmClock& clock, const TableRequest& request, std::ostream& out,
                      std::ostream& err);

}  // namespace vantrel::speedtable
