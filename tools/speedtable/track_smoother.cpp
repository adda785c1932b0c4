#include "speedtable/track_smoother.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "speedtable/fix_screen.hpp"

namespace vantrel::speedtable {
namespace {

constexpr double kEarthRadius = 6371008.8;  // metres, the mean radius
constexpr double kDegree = 3.14159265358979323846 / 180;
constexpr double kGapSeconds = 5;           // fixes further apart than this leave a gap
constexpr double kMoving = 1;               // m/s: faster than a standing train's noise
constexpr double kWildFloor = 25;           // metres: a fit of neighbours is never closer

using Vec = std::array<double, 3>;
using Mat = std::array<std::array<double, 3>, 3>;

Mat mul(const Mat& a, const Mat& b) {
    Mat c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
    return c;
}

Mat transpose(const Mat& a) {
    Mat t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t[i][j] = a[j][i];
    return t;
}

Vec product(const Mat& a, const Vec& v) {
    Vec r{};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) r[i] += a[i][k] * v[k];
    return r;
}

Mat add(const Mat& a, const Mat& b, double sign = 1) {
    Mat c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) c[i][j] = a[i][j] + sign * b[i][j];
    return c;
}

// The inverse of a symmetric positive definite 3 x 3 matrix (a covariance).
Mat inverse(const Mat& m) {
    Mat r{};
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!(std::fabs(det) > 1e-300)) return r;
    r[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return r;
}

struct Axis {
    std::vector<Vec> xf, xp;  // filtered and predicted state per step
    std::vector<Mat> pf, pp;
};

}  // namespace

std::array<double, 2> SmoothTrack::local(double lat, double lon) const {
    return {(lon - lon0_) * kDegree * kEarthRadius * cos0_, (lat - lat0_) * kDegree * kEarthRadius};
}

SmoothTrack::SmoothTrack(const std::vector<TrackPoint>& points, const SmoothOptions& o) {
    lat0_ = points.front().lat;
    lon0_ = points.front().lon;
    cos0_ = std::max(1e-6, std::cos(lat0_ * kDegree));
    // Steps: every fix, and between fixes no more than a step apart; the step grows on very
    // long logs so that the smoother's memory stays bounded (400 000 steps, about 200 MB).
    const double step = std::max(o.step_s, (points.back().time - points.front().time) / 4e5);
    std::vector<int> fix_at;  // step index of each point
    std::vector<std::array<size_t, 2>> gap_steps;
    for (size_t i = 0; i < points.size(); ++i) {
        fix_at.push_back(static_cast<int>(times_.size()));
        times_.push_back(points[i].time);
        if (i + 1 == points.size()) break;
        const double span = points[i + 1].time - points[i].time;
        const auto n = static_cast<int>(std::min(4e5, std::ceil(span / step)));
        if (span > kGapSeconds) {
            gaps_.push_back({points[i].time, points[i + 1].time, 0});
            gap_steps.push_back({times_.size() - 1, times_.size() - 1 + static_cast<size_t>(std::max(1, n))});
        }
        for (int k = 1; k < n; ++k) times_.push_back(points[i].time + span * k / n);
    }
    const size_t n = times_.size();
    std::vector<double> ft(points.size()), fx(points.size()), fy(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const auto p = local(points[i].lat, points[i].lon);
        ft[i] = points[i].time;
        fx[i] = p[0];
        fy[i] = p[1];
    }
    // Wild fixes are out before the filter starts, so that its first steps stand on good ones.
    const std::vector<bool> wild = wild_fixes(ft, fx, fy, std::max(kWildFloor, o.gate_sigma * o.noise_m));
    used_.assign(points.size(), true);
    std::vector<std::array<double, 2>> z(n, {NAN, NAN});
    for (size_t i = 0; i < points.size(); ++i) {
        if (wild[i]) {
            used_[i] = false;
            ++outliers_;
            continue;
        }
        z[static_cast<size_t>(fix_at[i])] = {fx[i], fy[i]};
    }
    std::vector<int> step_fix(n, -1);  // the point a step holds, if any
    for (size_t i = 0; i < points.size(); ++i) step_fix[static_cast<size_t>(fix_at[i])] = static_cast<int>(i);
    size_t first = 0;  // the first step with a fix the filter may start from
    while (first + 1 < n && std::isnan(z[first][0])) ++first;

    const double r = o.noise_m * o.noise_m;
    std::array<Axis, 2> axes;
    for (int a = 0; a < 2; ++a) {
        Axis& ax = axes[static_cast<size_t>(a)];
        ax.xf.resize(n);
        ax.xp.resize(n);
        ax.pf.resize(n);
        ax.pp.resize(n);
        ax.xp[0] = {std::isnan(z[first][0]) ? 0 : z[first][static_cast<size_t>(a)], 0, 0};
        ax.pp[0] = Mat{{{r, 0, 0}, {0, 900, 0}, {0, 0, 1}}};  // speed unknown up to 30 m/s
    }
    auto transition = [&](double dt) {
        return Mat{{{1, dt, dt * dt / 2}, {0, 1, dt}, {0, 0, 1}}};
    };
    int updates = 0;
    for (size_t k = 0; k < n; ++k) {
        if (k > 0) {
            const double dt = times_[k] - times_[k - 1];
            const Mat f = transition(dt);
            const double q = o.jerk, d2 = dt * dt, d3 = d2 * dt;
            const Mat qm{{{q * d3 * d2 / 20, q * d2 * d2 / 8, q * d3 / 6},
                          {q * d2 * d2 / 8, q * d3 / 3, q * d2 / 2},
                          {q * d3 / 6, q * d2 / 2, q * dt}}};
            for (Axis& ax : axes) {
                ax.xp[k] = product(f, ax.xf[k - 1]);
                ax.pp[k] = add(mul(mul(f, ax.pf[k - 1]), transpose(f)), qm);
            }
        }
        bool use = !std::isnan(z[k][0]);
        if (use && updates >= 5) {
            // Gate: the fix's squared distance from the prediction in standard deviations.
            double d2 = 0;
            for (size_t a = 0; a < 2; ++a) {
                const double y = z[k][a] - axes[a].xp[k][0];
                d2 += y * y / (axes[a].pp[k][0][0] + r);
            }
            if (d2 > o.gate_sigma * o.gate_sigma) {
                use = false;
                ++outliers_;
                used_[static_cast<size_t>(step_fix[k])] = false;
            }
        }
        for (size_t a = 0; a < 2; ++a) {
            Axis& ax = axes[a];
            ax.xf[k] = ax.xp[k];
            ax.pf[k] = ax.pp[k];
            if (!use) continue;
            const Mat& p = ax.pp[k];
            const double s = p[0][0] + r;
            const Vec gain{p[0][0] / s, p[1][0] / s, p[2][0] / s};
            const double y = z[k][a] - ax.xp[k][0];
            for (int i = 0; i < 3; ++i) ax.xf[k][static_cast<size_t>(i)] += gain[static_cast<size_t>(i)] * y;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) ax.pf[k][static_cast<size_t>(i)][static_cast<size_t>(j)] -= gain[static_cast<size_t>(i)] * p[0][static_cast<size_t>(j)];
        }
        if (use) ++updates;
    }
    // Rauch-Tung-Striebel: back from the last step.
    std::array<std::vector<Vec>, 2> xs{axes[0].xf, axes[1].xf};
    for (size_t k = n - 1; k-- > 0;) {
        const Mat f = transition(times_[k + 1] - times_[k]);
        for (size_t a = 0; a < 2; ++a) {
            const Axis& ax = axes[a];
            const Mat c = mul(mul(ax.pf[k], transpose(f)), inverse(ax.pp[k + 1]));
            Vec diff{};
            for (size_t i = 0; i < 3; ++i) diff[i] = xs[a][k + 1][i] - ax.xp[k + 1][i];
            const Vec corr = product(c, diff);
            for (size_t i = 0; i < 3; ++i) xs[a][k][i] = ax.xf[k][i] + corr[i];
        }
    }
    x_.resize(n);
    y_.resize(n);
    distance_.assign(n, 0);
    // The speed along the track: the velocity taken in the direction the train last moved
    // in, so that the noise of a standing train's fixes adds up to nothing.
    std::vector<double> east(n), north(n), speed(n);
    for (size_t k = 0; k < n; ++k) {
        x_[k] = xs[0][k][0];
        y_[k] = xs[1][k][0];
        // East-west metres shrink with the cosine of the latitude the train is at.
        const double lat = lat0_ + y_[k] / kEarthRadius / kDegree;
        east[k] = xs[0][k][1] * std::cos(lat * kDegree) / cos0_;
        north[k] = xs[1][k][1];
    }
    double ux = 0, uy = 0;
    for (size_t k = 0; k < n && ux == 0 && uy == 0; ++k) {
        const double v = std::hypot(east[k], north[k]);
        if (v > kMoving) {
            ux = east[k] / v;
            uy = north[k] / v;
        }
    }
    ux_.resize(n);
    uy_.resize(n);
    std::vector<double> step_metres(n, 0);  // travelled from the step before
    for (size_t k = 0; k < n; ++k) {
        const double v = std::hypot(east[k], north[k]);
        if (v > kMoving) {
            ux = east[k] / v;
            uy = north[k] / v;
        }
        ux_[k] = ux;
        uy_[k] = uy;
        speed[k] = ux == 0 && uy == 0 ? v : east[k] * ux + north[k] * uy;
        if (k > 0) step_metres[k] = (speed[k - 1] + speed[k]) / 2 * (times_[k] - times_[k - 1]);
    }
    // Across a gap the smoother's curve may run past the next fix and back, which the
    // speed along the track would count as travel both ways: a gap is as long as the
    // way between the fixes either side, along the direction of travel there, spread
    // over it as the smoother's forward speed has it.
    for (size_t g = 0; g < gaps_.size(); ++g) {
        const auto [a, b] = gap_steps[g];
        double dx = ux_[a] + ux_[b], dy = uy_[a] + uy_[b];
        if (std::hypot(dx, dy) < 0.5) {
            dx = ux_[a];
            dy = uy_[a];
        }
        const double norm = std::hypot(dx, dy);
        const double across = norm > 0 ? ((x_[b] - x_[a]) * dx + (y_[b] - y_[a]) * dy) / norm
                                        : std::hypot(x_[b] - x_[a], y_[b] - y_[a]);
        const double sign = across < 0 ? -1 : 1;
        double forward = 0;
        for (size_t k = a + 1; k <= b; ++k) forward += std::max(0.0, sign * step_metres[k]);
        for (size_t k = a + 1; k <= b; ++k)
            step_metres[k] = forward > 0 ? across * std::max(0.0, sign * step_metres[k]) / forward
                                         : across / static_cast<double>(b - a);
        gaps_[g].metres = across;
    }
    for (size_t k = 1; k < n; ++k) distance_[k] = distance_[k - 1] + step_metres[k];
}

double SmoothTrack::distance_at(double t) const {
    const size_t n = times_.size();
    if (t <= times_.front()) {
        const double v = (distance_[1] - distance_[0]) / std::max(1e-9, times_[1] - times_[0]);
        return distance_[0] - v * (times_.front() - t);
    }
    if (t >= times_.back()) {
        const double v = (distance_[n - 1] - distance_[n - 2]) / std::max(1e-9, times_[n - 1] - times_[n - 2]);
        return distance_[n - 1] + v * (t - times_.back());
    }
    const auto it = std::upper_bound(times_.begin(), times_.end(), t);
    const auto k = static_cast<size_t>(it - times_.begin());
    const double w = (t - times_[k - 1]) / (times_[k] - times_[k - 1]);
    return distance_[k - 1] + w * (distance_[k] - distance_[k - 1]);
}

double SmoothTrack::fix_distance(const TrackPoint& fix) const {
    const auto it = std::lower_bound(times_.begin(), times_.end(), fix.time);
    const auto k = static_cast<size_t>(std::min<std::ptrdiff_t>(it - times_.begin(), static_cast<std::ptrdiff_t>(times_.size()) - 1));
    const auto p = local(fix.lat, fix.lon);
    return distance_at(fix.time) + (p[0] - x_[k]) * ux_[k] + (p[1] - y_[k]) * uy_[k];
}

}  // namespace vantrel::speedtable
