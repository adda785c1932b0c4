// The route file reader on arbitrary bytes: it accepts or refuses with the route
// file's error, and an accepted route's indices stay inside the tables the run uses
// them with.
#include <algorithm>
#include <exception>

#include "cab/header_picture_loader.hpp"
#include "fuzz_support.hpp"
#include "fuzz_support_messages.hpp"
#include "route/route_reader.hpp"
#include "route/route_values.hpp"

namespace {

using namespace vantrel;

void check_tables(const RouteTables& r) {
    if (r.frame_rate < 1 || r.frame_rate > 30) fuzz::fail("frame rate outside 1..30");
    if (r.marks.size() > kMaxDistanceMarks) fuzz::fail("distance marks overrun");
    for (const DistanceMark& m : r.marks) {
        if (m.limit == 0 && (m.signal < 0 || static_cast<std::size_t>(m.signal) >= r.signals.size()))
            fuzz::fail("a signal mark names no signal");
    }
    for (const SpeedLimit& l : r.speed_limits) {
        if (!speed_limit_in_range(l.limit)) fuzz::fail("accepted a speed limit out of range");
    }
    const auto sound_ok = [](int32_t i) { return route_sound_in_range(i); };
    for (const Announcement& a : r.announcements) if (!sound_ok(a.sound)) fuzz::fail("announcement sound out of range");
    for (const SoundTrigger& t : r.sounds) if (!sound_ok(t.sound)) fuzz::fail("trigger sound out of range");
    for (const DopplerSource& d : r.dopplers) if (!sound_ok(d.sound)) fuzz::fail("doppler sound out of range");
    for (const Station& s : r.stations) {
        if (!sound_ok(s.dep_sound)) fuzz::fail("departure sound out of range");
        if (!time_in_range(s.dep_sound_time)) fuzz::fail("departure time out of range");
    }
    if (!time_in_range(r.start_time)) fuzz::fail("start time out of range");
    for (const MoveEntry& m : r.move_menu) {
        if (m.station < 0 || static_cast<std::size_t>(m.station) >= r.stations.size()) fuzz::fail("menu entry names no station");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        fuzz::write_file("fuzz_route.dat", bytes);
        const PathResolver resolver(fuzz::data_dir());
        HeaderPictureLoader pictures;
        const auto route = read_route_file("fuzz_route.dat", resolver, pictures, PictureRef{});
        // The collecting reader meets the same first error, and carries on without crashing or hanging.
        ProblemSink sink;
        (void)read_route_file("fuzz_route.dat", resolver, pictures, PictureRef{}, &sink);
        const auto& collected = sink.problems();
        const auto first = std::find_if(collected.begin(), collected.end(),
                                        [](const Problem& p) { return p.severity == Severity::Error; });
        if ((first == collected.end()) != route.ok()) fuzz::fail("the collecting reader disagrees on refusal");
        if (!route && (first->message != route.error().message || first->line != route.error().line))
            fuzz::fail("the collecting reader's first error differs");
        if (!route) {
            fuzz::check_refusal(route.error(), "fuzz_route.dat", bytes, fuzz::kRouteMessages);
            return 0;
        }
        check_tables(route.value());
    } catch (const std::exception& e) {
        fuzz::fail(e.what());
    }
    return 0;
}
