#include "demo_data/film_geometry.hpp"

#include <algorithm>

namespace vantrel::demo {
namespace {

// Curvature with 40 m easements at both ends of every curve, so the view turns smoothly.
double curvature(const LineScene& line, double s) {
    constexpr double kEase = 40;
    double k = 0;
    for (const CurveSpan& c : line.curves) {
        if (s < c.from_m - kEase || s > c.to_m + kEase) continue;
        const double in = std::clamp((s - (c.from_m - kEase)) / (2 * kEase), 0.0, 1.0);
        const double out = std::clamp(((c.to_m + kEase) - s) / (2 * kEase), 0.0, 1.0);
        k += c.curvature * std::min(in, out);
    }
    return k;
}

// Gradient with vertical curves: each change is spread over 60 m.
double raw_grade(const LineScene& line, double s) {
    for (const GradeSpan& g : line.grades)
        if (s >= g.from_m && s < g.to_m) return g.permille / 1000;
    return 0;
}

}  // namespace

TrackGeometry::TrackGeometry(const LineScene& line) {
    const auto n = static_cast<size_t>((line.length_m + 1200 + kBefore) / kStep);
    x_.resize(n), y_.resize(n), z_.resize(n), h_.resize(n), g_.resize(n);
    double x = 0, y = 0, z = 0, h = 0;
    for (size_t i = 0; i < n; ++i) {
        const double s = static_cast<double>(i) * kStep - kBefore;
        double gr = 0;
        for (int k = -6; k <= 6; ++k) gr += raw_grade(line, s + k * 5.0);
        gr /= 13;
        x_[i] = x, y_[i] = y, z_[i] = z, h_[i] = h, g_[i] = gr;
        h -= curvature(line, s) * kStep;
        x += std::cos(h) * kStep;
        y += std::sin(h) * kStep;
        z += gr * kStep;
    }
}

double TrackGeometry::index(double s) const {
    return std::clamp((s + kBefore) / kStep, 0.0, static_cast<double>(x_.size() - 2));
}

Vec3 TrackGeometry::point(double s, double lateral, double height) const {
    const double f = index(s);
    const auto i = static_cast<size_t>(f);
    const double u = f - static_cast<double>(i);
    auto lerp = [&](const std::vector<double>& v) { return v[i] + (v[i + 1] - v[i]) * u; };
    const double h = lerp(h_);
    // Right of the heading (x east, y north): (sin h, -cos h).
    return {lerp(x_) + lateral * std::sin(h), lerp(y_) - lateral * std::cos(h), lerp(z_) + height};
}

double TrackGeometry::heading(double s) const {
    const double f = index(s);
    const auto i = static_cast<size_t>(f);
    return h_[i] + (h_[i + 1] - h_[i]) * (f - static_cast<double>(i));
}

double TrackGeometry::grade(double s) const { return g_[static_cast<size_t>(index(s))]; }

Camera make_camera(const TrackGeometry& g, double s, int width, int height) {
    Camera c;
    // The driver sits left of the centre, 3 m above the rail; the view looks slightly
    // ahead along the track so that curves pull the picture gently.
    c.eye = g.point(s, -0.35, 3.0);
    const double yaw = (g.heading(s) * 2 + g.heading(s + 12)) / 3;
    const double pitch = std::atan(g.grade(s + 5)) - 0.035;
    c.yaw = yaw, c.pitch = pitch;
    const double cp = std::cos(pitch), sp = std::sin(pitch);
    c.forward = {std::cos(yaw) * cp, std::sin(yaw) * cp, sp};
    c.right = {std::sin(yaw), -std::cos(yaw), 0};
    c.up = {-std::cos(yaw) * sp, -std::sin(yaw) * sp, cp};
    c.focal = (width / 2.0) / std::tan(28.0 * 3.14159265358979 / 180);  // 56 degree view
    c.cx = width / 2.0;
    c.cy = height * 0.45;
    return c;
}

}  // namespace vantrel::demo
