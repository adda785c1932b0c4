#include "route/route_start.hpp"

#include <limits>

#include "app/run.hpp"

namespace vantrel {

void apply_route_start(Run& run) {
    const RouteTables& route = run.route;

    run.core.Frame = route.start_pos;
    run.core.ClockTicks = route.start_time;
    // The preceding train's head start; a silly [Pre_Time] saturates rather than wraps.
    const int64_t preceding = static_cast<int64_t>(route.pre_time) * 30 + route.start_pos;
    run.video.PrecedingFrame =
        preceding > std::numeric_limits<int32_t>::max()   ? std::numeric_limits<int32_t>::max()
        : preceding < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min()
                                                          : static_cast<int32_t>(preceding);
    run.view.Label4 = route.stations.empty() ? std::string() : route.stations.front().name;

    // The run starts standing at the first platform with the doors open.
    run.core.TractionCut = true;
    run.stations.door_command = true;
    run.stations.flags.assign(route.stations.size(), StationFlags{});
    run.route_sounds.trigger_played.assign(route.sounds.size(), false);
    run.ats.signal_value.assign(route.signals.size(), 0);

    run.ats.CurrentSignalCode = kNone;
    run.ats.last_drawn_code = kNone;
    run.ats.commentary_number = kNone;
    run.ats.signal_index = kNone;
    run.ats.AtsTarget = kNone;
    run.limits.other_content = kNone;
    run.view.OtherImage = -1;

    run.video.accumulator = 0;
    run.video.FilmedSpeed = 0;
    run.video.segment = 0;
    run.core.Distance = 0;

    if (run.view.caption == "Vantrel") run.view.caption = route.line_name;
    run.has_route = true;
}

}  // namespace vantrel
