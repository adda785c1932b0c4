#include "speedtable/track_index.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel::speedtable {

struct TrackIndex::Query {
    double px, py, from, to;
};

namespace {
constexpr double kShortest = 50;  // metres: segments up to this (or 4 medians) go in the tree
}

TrackIndex::TrackIndex(const SmoothTrack& track) : track_(track) {
    const auto& x = track.xs();
    const auto& y = track.ys();
    const size_t n = x.size();
    std::vector<double> lengths;
    for (size_t k = 0; k + 1 < n; ++k) lengths.push_back(std::hypot(x[k + 1] - x[k], y[k + 1] - y[k]));
    double limit = kShortest;
    if (!lengths.empty()) {
        std::vector<double> sorted(lengths);
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
        limit = std::max(limit, 4 * sorted[sorted.size() / 2]);
    }
    // A nearest point on a segment lies within half its length of one of its ends, so the
    // tree of steps is searched that much wider; the few longer segments are always tried.
    for (size_t k = 0; k + 1 < n; ++k) {
        if (lengths[k] <= limit) {
            reach_ = std::max(reach_, lengths[k]);
        } else {
            long_.push_back(static_cast<uint32_t>(k));
        }
    }
    for (size_t k = 0; k < n; ++k) order_.push_back(static_cast<uint32_t>(k));
    build(0, order_.size(), 0);
}

void TrackIndex::build(size_t lo, size_t hi, int axis) {
    if (hi - lo <= 1) return;
    const size_t mid = lo + (hi - lo) / 2;
    const auto& c = axis == 0 ? track_.xs() : track_.ys();
    std::nth_element(order_.begin() + static_cast<std::ptrdiff_t>(lo), order_.begin() + static_cast<std::ptrdiff_t>(mid),
                     order_.begin() + static_cast<std::ptrdiff_t>(hi), [&](uint32_t a, uint32_t b) { return c[a] < c[b]; });
    build(lo, mid, 1 - axis);
    build(mid + 1, hi, 1 - axis);
}

void TrackIndex::nearest(size_t lo, size_t hi, int axis, double px, double py, double& best) const {
    if (lo >= hi) return;
    const size_t mid = lo + (hi - lo) / 2;
    const uint32_t k = order_[mid];
    best = std::min(best, std::hypot(track_.xs()[k] - px, track_.ys()[k] - py));
    const double d = (axis == 0 ? px - track_.xs()[k] : py - track_.ys()[k]);
    if (d < 0) {
        nearest(lo, mid, 1 - axis, px, py, best);
        if (-d < best) nearest(mid + 1, hi, 1 - axis, px, py, best);
    } else {
        nearest(mid + 1, hi, 1 - axis, px, py, best);
        if (d < best) nearest(lo, mid, 1 - axis, px, py, best);
    }
}

void TrackIndex::within(size_t lo, size_t hi, int axis, double px, double py, double r, std::vector<uint32_t>& out) const {
    if (lo >= hi) return;
    const size_t mid = lo + (hi - lo) / 2;
    const uint32_t k = order_[mid];
    if (std::hypot(track_.xs()[k] - px, track_.ys()[k] - py) <= r) out.push_back(k);
    const double d = (axis == 0 ? px - track_.xs()[k] : py - track_.ys()[k]);
    if (d - r <= 0) within(lo, mid, 1 - axis, px, py, r, out);
    if (d + r >= 0) within(mid + 1, hi, 1 - axis, px, py, r, out);
}

void TrackIndex::segment(size_t k, const Query& q, Passing& best) const {
    const auto& t = track_.times();
    const auto& x = track_.xs();
    const auto& y = track_.ys();
    if (k + 1 >= t.size()) return;
    const double span = t[k + 1] - t[k];
    const double lo = std::clamp((q.from - t[k]) / span, 0.0, 1.0), hi = std::clamp((q.to - t[k]) / span, 0.0, 1.0);
    if (!(lo <= hi) || t[k + 1] < q.from || t[k] > q.to) return;
    const double dx = x[k + 1] - x[k], dy = y[k + 1] - y[k];
    const double len2 = dx * dx + dy * dy;
    const double u = std::clamp(len2 > 0 ? ((q.px - x[k]) * dx + (q.py - y[k]) * dy) / len2 : 0.0, lo, hi);
    const double miss = std::hypot(q.px - x[k] - u * dx, q.py - y[k] - u * dy);
    const double time = t[k] + u * span;
    // Of equally near passings the earliest: a place passed at a stand is passed when the stand began.
    if (miss < best.miss_m || (miss == best.miss_m && time < best.time)) best = {time, miss};
}

Passing TrackIndex::passing(double lat, double lon, double from, double to) const {
    const auto p = track_.local(lat, lon);
    const Query q{p[0], p[1], from, to};
    Passing best{from, std::numeric_limits<double>::infinity()};
    for (uint32_t k : long_) segment(k, q, best);
    // Any segment's nearest point: within the nearest step plus half the longest segment.
    double near = std::numeric_limits<double>::infinity();
    nearest(0, order_.size(), 0, q.px, q.py, near);
    std::vector<uint32_t> found;
    double r = near + reach_ / 2 + 1e-6;
    // In a window the nearest passing may lie further: widen until one is found.
    for (;;) {
        found.clear();
        within(0, order_.size(), 0, q.px, q.py, r, found);
        for (uint32_t k : found) {
            if (k > 0) segment(k - 1, q, best);
            segment(k, q, best);
        }
        if (best.miss_m <= r - reach_ / 2 || found.size() >= order_.size()) break;
        r *= 2;
    }
    return best;
}

}  // namespace vantrel::speedtable
