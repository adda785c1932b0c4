#pragma once
// Where the smoothed track passes nearest to a place, found through a k-d tree of its
// steps, so that thousands of waypoints cost a search each rather than a sweep.
#include <cstdint>
#include <limits>
#include <vector>

#include "speedtable/track_smoother.hpp"

namespace vantrel::speedtable {

struct Passing {
    double time = 0;    // seconds since 1970
    double miss_m = 0;  // how far off the track the place lies (infinite: no step in the window)
};

class TrackIndex {
public:
    explicit TrackIndex(const SmoothTrack& track);

    // The nearest passing whose time lies within [from, to].
    [[nodiscard]] Passing passing(double lat, double lon, double from = -std::numeric_limits<double>::infinity(),
                                  double to = std::numeric_limits<double>::infinity()) const;

private:
    struct Query;
    void build(size_t lo, size_t hi, int axis);
    void nearest(size_t lo, size_t hi, int axis, double px, double py, double& best) const;
    void within(size_t lo, size_t hi, int axis, double px, double py, double r, std::vector<uint32_t>& out) const;
    void segment(size_t k, const Query& q, Passing& best) const;

    const SmoothTrack& track_;
    std::vector<uint32_t> order_;  // the steps, as a k-d tree
    std::vector<uint32_t> long_;   // segments too long for the tree's reach: always tried
    double reach_ = 0;             // half the longest segment in the tree
};

}  // namespace vantrel::speedtable
