#pragma once
// The filmed-speed table ("[SpeedUnit]") that reproduces a film's distance at every frame
// by the route's own rule (speeds in km/h as if the film ran at 30 frames a second, each
// record a straight line of speed over its frames), in as few records as the step allows.
#include <cstdint>
#include <string>
#include <vector>

#include "route/route_tables.hpp"

namespace vantrel::speedtable {

inline constexpr std::size_t kTableCapacity = 500;  // the route reader's capacity for [SpeedUnit]

struct Standing {
    int32_t from = 0, to = 0;  // frames, both inclusive
};

struct TableOptions {
    double step_kmh = 2;           // a new record where the speed leaves the line by more
    std::size_t capacity = kTableCapacity;
    int32_t min_standing = 15;     // frames below 1 km/h that make a standing stretch
};

struct SpeedTable {
    std::vector<SpeedSegment> records;  // with their end distances, as the reader derives them
    std::vector<Standing> standing;
    double step_kmh = 0;  // the step the table was built with (grown to fit the capacity)
};

// `distance_m[f]` is the distance in metres at frame f (f = 0 .. frames-1, at least two).
// Empty records when not even the largest step fits the capacity, or the distance the
// route's int32 centimetres can hold.
[[nodiscard]] SpeedTable build_speed_table(const std::vector<double>& distance_m, const TableOptions& options);

// Each frame's speed in table units (km/h at 30 frames a second) from the distances.
[[nodiscard]] std::vector<double> frame_speeds(const std::vector<double>& distance_m);
// The distance a table can give (metres): the film's, with every frame below 1 km/h at 1.
[[nodiscard]] std::vector<double> drivable_distance(const std::vector<double>& distance_m);

// Distance in centimetres at a frame, by the program's own frame-to-distance rule.
[[nodiscard]] long double table_distance_cm(const SpeedTable& table, long double frame);

// "[SpeedUnit]", one "start,end,speed_at_start,speed_at_end" line a record, "#".
[[nodiscard]] std::string speed_unit_text(const SpeedTable& table);

}  // namespace vantrel::speedtable
