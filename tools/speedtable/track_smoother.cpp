#include "speedtable/track_smoother.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantrel::speedtable {
namespace {

constexpr double kEarthRadius = 6371008.8;  // metres, the mean radius
constexpr double kDegree = 3.14159265358979323846 / 180;
constexpr double kGapSeconds = 5;           // fixes further apart than this leave a gap
constexpr double kMoving = 1;               // m/s: faster than a standing train's noise

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

SmoothTrack::SmoothTrack(const std::vector<TrackPoint>& points, const SmoothOptions& o) {
    lat0_ = points.front().lat;
    lon0_ = points.front().lon;
    cos0_ = std::max(1e-6, std::cos(lat0_ * kDegree));
    // Steps: every fix, and between fixes no more than a step apart; the step grows on very
    // long logs so that the smoother's memory stays bounded (400 000 steps, about 200 MB).
    const double step = std::max(o.step_s, (points.back().time - points.front().time) / 4e5);
    std::vector<int> fix_at;  // step index of each point
    for (size_t i = 0; i < points.size(); ++i) {
        fix_at.push_back(static_cast<int>(times_.size()));
        times_.push_back(points[i].time);
        if (i + 1 == points.size()) break;
        const double span = points[i + 1].time - points[i].time;
        if (span > kGapSeconds) gaps_.push_back({points[i].time, points[i + 1].time});
        const auto n = static_cast<int>(std::min(4e5, std::ceil(span / step)));
        for (int k = 1; k < n; ++k) times_.push_back(points[i].time + span * k / n);
    }
    const size_t n = times_.size();
    std::vector<std::array<double, 2>> z(n, {NAN, NAN});
    for (size_t i = 0; i < points.size(); ++i)
        z[static_cast<size_t>(fix_at[i])] = {(points[i].lon - lon0_) * kDegree * kEarthRadius * cos0_,
                                             (points[i].lat - lat0_) * kDegree * kEarthRadius};

    const double r = o.noise_m * o.noise_m;
    std::array<Axis, 2> axes;
    for (int a = 0; a < 2; ++a) {
        Axis& ax = axes[static_cast<size_t>(a)];
        ax.xf.resize(n);
        ax.xp.resize(n);
        ax.pf.resize(n);
        ax.pp.resize(n);
        ax.xp[0] = {z[0][static_cast<size_t>(a)], 0, 0};
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
    for (size_t k = 0; k < n; ++k) {
        const double v = std::hypot(east[k], north[k]);
        if (v > kMoving) {
            ux = east[k] / v;
            uy = north[k] / v;
        }
        speed[k] = ux == 0 && uy == 0 ? v : east[k] * ux + north[k] * uy;
        if (k > 0) distance_[k] = distance_[k - 1] + (speed[k - 1] + speed[k]) / 2 * (times_[k] - times_[k - 1]);
    }
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

SmoothTrack::Passing SmoothTrack::passing(double lat, double lon) const {
    const double px = (lon - lon0_) * kDegree * kEarthRadius * cos0_, py = (lat - lat0_) * kDegree * kEarthRadius;
    Passing best{times_.front(), INFINITY};
    for (size_t k = 0; k + 1 < times_.size(); ++k) {
        const double dx = x_[k + 1] - x_[k], dy = y_[k + 1] - y_[k];
        const double len2 = dx * dx + dy * dy;
        const double u = len2 > 0 ? std::clamp(((px - x_[k]) * dx + (py - y_[k]) * dy) / len2, 0.0, 1.0) : 0.0;
        const double miss = std::hypot(px - x_[k] - u * dx, py - y_[k] - u * dy);
        if (miss < best.miss_m) best = {times_[k] + u * (times_[k + 1] - times_[k]), miss};
    }
    return best;
}

}  // namespace vantrel::speedtable
