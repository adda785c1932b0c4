#pragma once
// Drives a train on a route headless with the careful driver and notes what a player
// would meet on the way: stops missed or outside the platform, emergency brakes, and
// arrivals later than the timetable.
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/problems.hpp"

namespace vantrel::check {

// `sink` is the route file's own (its lines point at the stations); `frames` the film's
// length the drive runs over. False when the pair could not be driven at all.
bool check_drive(ProblemSink& sink, const std::filesystem::path& dir, const std::string& train,
                 const std::string& route, int32_t frames);

}  // namespace vantrel::check
