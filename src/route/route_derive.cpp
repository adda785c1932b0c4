#include "route/route_derive.hpp"

#include <cmath>

#include "common/fixed_point.hpp"

namespace vantrel {

long double segment_start_distance(const RouteTables& route, std::size_t i) {
    if (i == 0 || i > route.speed_units.size()) return 0;
    return route.speed_units[i - 1].end_distance;
}

long double segment_distance(const RouteTables& route, std::size_t i, long double x) {
    const SpeedSegment& g = route.speed_units[i];
    const long double d0 = segment_start_distance(route, i);
    const long double s = g.start, e = g.end, vs = g.speed_start, ve = g.speed_end;
    if (e == s) return d0;  // the reader refuses such segments; hand-built tables stay finite
    const long double v = vs + (ve - vs) / (e - s) * (x - s);
    return static_cast<long double>(round_store(d0 + (vs + v) / 7.2L * ((x - s) / 30.0L) * 100.0L));
}

long double segment_length(const SpeedSegment& g) {
    // An integer product; long double holds it exactly for any sensible table.
    const long double product = (static_cast<long double>(g.speed_start) + g.speed_end) *
                                (static_cast<long double>(g.end) - g.start);
    return static_cast<long double>(round_store(product / 2.16L));
}

bool derive_route(RouteTables& route, std::string& section) {
    route.marks.clear();
    route.move_menu.clear();
    const auto& segments = route.speed_units;

    // Signal marks first, so that a scan of the marks meets every signal before any limit.
    for (std::size_t i = 0; i < segments.size(); ++i) {
        for (std::size_t j = 0; j < route.signals.size(); ++j) {
            const int32_t x = route.signals[j].signal_frame;
            if (!(segments[i].start < x && x < segments[i].end)) continue;
            if (route.marks.size() >= kMaxDistanceMarks) {
                section = "[Signal]";
                return false;
            }
            route.marks.push_back({segment_distance(route, i, x), 0, static_cast<int32_t>(j)});
        }
    }
    // A sign on a boundary falls in both closed segments and is marked twice.
    for (std::size_t i = 0; i < segments.size(); ++i) {
        for (SpeedLimit& limit : route.speed_limits) {
            const int32_t x = limit.sign_frame;
            if (!(segments[i].start <= x && x <= segments[i].end)) continue;
            if (route.marks.size() >= kMaxDistanceMarks) {
                section = "[SpeedLimit]";
                return false;
            }
            limit.distance = segment_distance(route, i, x);
            route.marks.push_back({limit.distance, limit.limit, 0});
        }
    }
    for (std::size_t i = 0; i < segments.size(); ++i) {
        for (Station& station : route.stations) {
            if (station.type == 1) continue;
            const long double m =
                (static_cast<long double>(station.platform_start) + station.platform_end) / 2.0L;
            if (segments[i].start < m && m <= segments[i].end) {
                station.stop_distance = segment_distance(route, i, m);
                station.has_stop_distance = true;
            }
        }
    }
    // The last station is the end of the line: nobody jumps to it.
    for (std::size_t i = 0; i + 1 < route.stations.size(); ++i) {
        const Station& station = route.stations[i];
        if (station.type != 0 && station.type != 2) continue;
        route.move_menu.push_back({static_cast<int32_t>(i), station.name, "Sta" + std::to_string(i)});
    }
    return true;
}

}  // namespace vantrel
