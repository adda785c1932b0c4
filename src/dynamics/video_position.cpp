#include "dynamics/video_position.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "route/route_derive.hpp"

namespace vantrel {
namespace {

int32_t saturate32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

}  // namespace

void advance_video(Run& run) {
    CoreState& core = run.core;
    VideoState& video = run.video;

    const int64_t k = std::llabs(round_store(real(core.Speed)));
    int64_t accumulator = static_cast<int64_t>(video.accumulator) + k;
    if (accumulator >= video.FilmedSpeed) {
        if (video.FilmedSpeed < 1) video.FilmedSpeed = 1;
        const int64_t n = accumulator / video.FilmedSpeed;
        accumulator %= video.FilmedSpeed;
        if (core.Speed > 0) core.Frame = saturate32(static_cast<int64_t>(core.Frame) + n);
        if (core.Speed < 0) core.Frame = saturate32(static_cast<int64_t>(core.Frame) - n);
    }
    video.accumulator = saturate32(accumulator);

    const auto& segments = run.route.speed_units;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const SpeedSegment& g = segments[i];
        if (!(g.start <= core.Frame && core.Frame < g.end)) continue;
        const auto index = static_cast<int32_t>(i);
        if (index != video.segment && video.segment != -1) core.Distance = segment_start_distance(run.route, i);
        const long double slope = (static_cast<long double>(g.speed_end) - g.speed_start) /
                                  (static_cast<long double>(g.end) - g.start);
        video.FilmedSpeed =
            round_int(g.speed_start + slope * (static_cast<long double>(core.Frame) - g.start));
        video.segment = index;
    }
}

void advance_preceding_train(Run& run) {
    int32_t& preceding = run.video.PrecedingFrame;
    if (run.core.ClockTicks % preceding_divisor(run.route) == 0 && preceding != 0 &&
        preceding < std::numeric_limits<int32_t>::max())
        ++preceding;
    // Past the end of the video, or without one (length -1), there is no preceding train.
    if (run.video.length < preceding) preceding = 0;
}

double frame_fraction(const Run& run) {
    const VideoState& video = run.video;
    if (video.FilmedSpeed < 1 || video.accumulator <= 0) return 0;
    // A segment with a lower filmed speed may leave more than one frame's worth behind.
    return std::min(1.0, static_cast<double>(video.accumulator) / video.FilmedSpeed);
}

double frames_per_tick(const Run& run) {
    const int64_t k = std::llabs(round_store(real(run.core.Speed)));
    return static_cast<double>(k) / std::max<int32_t>(1, run.video.FilmedSpeed);
}

long double frame_distance(const RouteTables& route, long double x) {
    const auto& segments = route.speed_units;
    long double passed = 0;  // end distance of the last segment wholly before x
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (segments[i].start <= x && x <= segments[i].end) return segment_distance(route, i, x);
        if (segments[i].end < x) passed = segments[i].end_distance;
    }
    return passed;
}

}  // namespace vantrel
