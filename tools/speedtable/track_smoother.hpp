#pragma once
// The filming train's distance along its track against time, from noisy GPS fixes: a
// constant-acceleration Kalman filter with a Rauch-Tung-Striebel smoother on local
// metres (a train's acceleration changes slowly), wild fixes left out, gaps bridged.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "speedtable/gps_track.hpp"

namespace vantrel::speedtable {

struct SmoothOptions {
    double noise_m = 5;       // standard deviation of a fix's position
    double jerk = 0.02;       // m^2/s^5: spectral density of the acceleration's changes
    double step_s = 0.25;     // the smoother's time step
    double gate_sigma = 5;    // a fix further off than this is an outlier
};

struct Gap {
    double from = 0, to = 0;  // seconds since 1970
    double metres = 0;        // bridged: the fixes either side, along the track
};

class SmoothTrack {
public:
    // Needs at least two points at distinct times in time order (as the readers give them).
    SmoothTrack(const std::vector<TrackPoint>& points, const SmoothOptions& options);

    [[nodiscard]] double begin() const { return times_.front(); }
    [[nodiscard]] double end() const { return times_.back(); }
    // Metres travelled since the first fix; outside the log at the speed of its ends.
    [[nodiscard]] double distance_at(double t) const;
    // A fix's own distance: the track's at its time, moved by how far ahead of or behind
    // the smoothed place the fix lies.
    [[nodiscard]] double fix_distance(const TrackPoint& fix) const;

    // Metres east and north of the first fix.
    [[nodiscard]] std::array<double, 2> local(double lat, double lon) const;
    [[nodiscard]] const std::vector<double>& times() const { return times_; }
    [[nodiscard]] const std::vector<double>& xs() const { return x_; }
    [[nodiscard]] const std::vector<double>& ys() const { return y_; }

    [[nodiscard]] int32_t outliers() const { return outliers_; }
    // Per point given: whether the track was made from it (false for an outlier).
    [[nodiscard]] const std::vector<bool>& used() const { return used_; }
    [[nodiscard]] const std::vector<Gap>& gaps() const { return gaps_; }

private:
    double lat0_ = 0, lon0_ = 0, cos0_ = 1;
    std::vector<double> times_;
    std::vector<double> x_, y_;       // smoothed metres east and north of the first fix
    std::vector<double> distance_;    // metres along the track
    std::vector<double> ux_, uy_;     // the direction of travel (unit, or zero before any)
    std::vector<bool> used_;
    int32_t outliers_ = 0;
    std::vector<Gap> gaps_;
};

}  // namespace vantrel::speedtable
