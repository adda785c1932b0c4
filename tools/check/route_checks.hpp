#pragma once
// Checks of a route that has loaded: what runs but is very likely a mistake (the film
// and the filmed-speed table, stations, signals, picture lists, shown texts), and of a
// train and route driven together (their sound channels).
#include <cstdint>
#include <optional>
#include <string>

#include "common/problems.hpp"
#include "dynamics/train_params.hpp"
#include "route/route_tables.hpp"

namespace vantrel::check {

// `sink` is the route file's own: it holds the lines its reader noted. `film_frames` is
// the film's length when it could be opened.
void check_route(ProblemSink& sink, const std::string& file, const RouteTables& route,
                 std::optional<int32_t> film_frames);

// Problems of the pair, noted in the route file's sink.
void check_pair(ProblemSink& sink, const std::string& route_file, const RouteTables& route,
                const std::string& train_file, const TrainParams& train);

// The distance of `frame` along the route in metres, when the filmed-speed table covers it.
[[nodiscard]] std::optional<double> metres_at(const RouteTables& route, int32_t frame);

}  // namespace vantrel::check
