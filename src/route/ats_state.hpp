#pragma once
// Run-time state of the signals, the three ATS variants and the vigilance device.
#include <cstdint>
#include <vector>

#include "route/route_tables.hpp"

namespace vantrel {

struct AtsState {
    std::vector<int32_t> signal_value;  // per signal: raw aspect, then display code
    int32_t CurrentSignalCode = kNone;
    int32_t last_drawn_code = kNone;
    int32_t commentary_number = kNone;  // of the signal ahead
    int32_t signal_index = kNone;       // of the signal ahead
    int32_t AtsTarget = kNone;  // 999 none, 998 warning, 0 stop, else km/h
    bool AtsAlarm = false, AtsChime = false, AtsConfirmed = false;
    int32_t AtsTimer = 0;
    int32_t saved_target = kNone;
    int32_t PatternState = 0, previous_pattern_state = 0;
    bool CabSignalBrake = false;
    int32_t vigilance_counter = 0;  // 100 ms ticks since the last driver action
    bool vigilance_off = false;     // switched off by follow-video mode
};

}  // namespace vantrel
