// The Move menu's jump: the train is set down at a station, standing, in emergency.
#include <algorithm>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/handles.hpp"
#include "route/stations.hpp"

namespace vantrel {

void StationClick(Run& run, int32_t station) {
    const auto& stations = run.route.stations;
    if (station < 0 || static_cast<size_t>(station) >= stations.size()) return;
    const Station& st = stations[static_cast<size_t>(station)];

    const auto stops_before = std::count_if(stations.begin(), stations.begin() + station,
                                            [](const Station& s) { return s.type == 0; });

    run.core.Speed = 0;

    // The per-station flags start afresh; the sound triggers keep theirs (once per run).
    for (StationFlags& f : run.stations.flags) f = StationFlags{};

    // Channels 1 up to the number of loaded sounds: channel 0 is left alone, and
    // nothing beyond the mixer's channels is touched.
    const int64_t loaded = static_cast<int64_t>(run.drive_sound_count) +
                           static_cast<int64_t>(run.route.sound_data.size());
    const int last = static_cast<int>(std::min<int64_t>(loaded, kChannelCount - 1));
    for (int ch = 1; ch <= last; ++ch) run.sound().stop(ch);

    run.core.TractionCut = false;
    run.view.Lamp_Door = true;

    run.core.Frame = round_int((static_cast<long double>(st.platform_start) + st.platform_end) / 2.0L);
    run.view.Label4 = st.name;

    const int64_t clock = static_cast<int64_t>(st.dep_sound_time) - 150;
    run.core.ClockTicks = static_cast<int32_t>(clock);
    const RouteTables& r = run.route;
    // Only the quotient is rounded (ties to even), then the start offset is added.
    const int32_t advanced =
        round_int(static_cast<long double>(clock - r.start_time) / preceding_divisor(r));
    run.video.PrecedingFrame = static_cast<int32_t>(static_cast<int64_t>(advanced) + r.start_pos +
                                                    30LL * r.pre_time);

    run.stations.current_station = station;
    reset_handles(run);
    // The distance still to run is zeroed; the next stop point itself is kept.
    run.core.RemainingDistance = 0;

    run.route_sounds.announce_pointer = static_cast<int32_t>(2 * stops_before);

    run.core.Distance = st.stop_distance;
    run.core.DistanceStep = 0;
    run.video.segment = -1;
}

}  // namespace vantrel
