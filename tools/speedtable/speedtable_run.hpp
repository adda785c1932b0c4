#pragma once
// vantrel-speedtable's work: the GPS log and the film's clock in, the "[SpeedUnit]" table,
// the standing stretches and the waypoints' frames and distances out.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "speedtable/table_pipeline.hpp"

namespace vantrel::speedtable {

struct Mark {
    int32_t frame = 0;
    double time = 0;  // seconds since 1970
};

struct RunOptions {
    std::string log;   // GPX or NMEA
    std::string film;  // for its frame count and rate
    std::optional<double> start;  // GPS time of frame 0
    std::vector<Mark> marks;      // or two frames with their GPS times
    double step_kmh = 2;
    double noise_m = 5;
    int32_t frames = -1;  // instead of the film's (with fps)
    double fps = 0;
};


[[nodiscard]] std::optional<RunOptions> parse_arguments(int argc, const char* const* argv, std::ostream& err);
// Writes the table and waypoints to `out`, notes and the summary to `err`.
int run_speedtable(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace vantrel::speedtable
