#pragma once
// Data derived from the route tables once the file is read: the distance scale of the
// filming-speed segments, the distance marks, the stop points and the Move-menu entries.
#include <cstddef>
#include <string>

#include "route/route_tables.hpp"

namespace vantrel {

// Cumulative distance (cm) at the start of filming-speed segment i.
[[nodiscard]] long double segment_start_distance(const RouteTables& route, std::size_t i);

// Distance (cm) of frame x measured through segment i, rounded to the nearest cm.
[[nodiscard]] long double segment_distance(const RouteTables& route, std::size_t i, long double x);

// Length (cm) of a segment: the trapezoid of its filmed speeds at 30 frames per second.
[[nodiscard]] long double segment_length(const SpeedSegment& segment);

// Fills marks, the speed limits' and stations' distances and the Move menu. False when
// the marks would exceed their table; `section` then names the list that overflowed it.
[[nodiscard]] bool derive_route(RouteTables& route, std::string& section);

}  // namespace vantrel
