#pragma once
// Track geometry and the camera for the film renderer: the line's centre in the world
// (plan position, height, heading) sampled every half metre, and the projection of
// world points onto the picture from the driver's eye.
#include <QPointF>
#include <cmath>
#include <vector>

#include "demo_data/pack_scene.hpp"

namespace vantrel::demo {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

class TrackGeometry {
public:
    explicit TrackGeometry(const LineScene& line);
    // World point at a position along the line, `lateral` metres to the right, `height` above the rail.
    [[nodiscard]] Vec3 point(double s, double lateral, double height) const;
    [[nodiscard]] double heading(double s) const;  // radians, plan
    [[nodiscard]] double grade(double s) const;    // rise per metre

private:
    [[nodiscard]] double index(double s) const;
    static constexpr double kStep = 0.5;
    static constexpr double kBefore = 200;
    std::vector<double> x_, y_, z_, h_, g_;
};

struct Camera {
    Vec3 eye, forward, right, up;
    double focal = 0, cx = 0, cy = 0;
    double yaw = 0, pitch = 0;

    // Depth along the view; screen point when in front.
    [[nodiscard]] double depth(Vec3 w) const { return dot(w - eye, forward); }
    [[nodiscard]] QPointF project(Vec3 w) const {
        const Vec3 d = w - eye;
        const double z = std::max(0.05, dot(d, forward));
        return {cx + focal * dot(d, right) / z, cy - focal * dot(d, up) / z};
    }
};

[[nodiscard]] Camera make_camera(const TrackGeometry& g, double s, int width, int height);

}  // namespace vantrel::demo
