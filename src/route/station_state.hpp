#pragma once
// Run-time state of the station work, the doors and the stop alert.
#include <cstdint>
#include <vector>

namespace vantrel {

struct StationFlags {
    bool marker_shown = false;
    bool dep_sound_played = false;
    bool doors_closed = false;  // closed for departure
};

struct StationState {
    bool door_command = true;  // last command: true open, false close
    std::vector<StationFlags> flags;  // per station
    int32_t current_station = 0;
    long double next_stop_distance = 0;  // cm
};

}  // namespace vantrel
