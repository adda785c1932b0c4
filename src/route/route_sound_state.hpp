#pragma once
// Run-time state of the route's sound triggers and announcements.
#include <cstdint>
#include <vector>

namespace vantrel {

struct RouteSoundState {
    std::vector<bool> trigger_played;  // per sound-trigger record
    int32_t announce_pointer = 0;
};

}  // namespace vantrel
