#pragma once
// What stands along a filmed line, prepared once from the scene description: the
// track strips (ground, ballast, sleepers, rails, platforms, girders, tunnel walls)
// and the objects (masts, signals, signs, buildings, trees, crossings, portals,
// oncoming trains), drawn far to near for one camera.
#include <QPainter>
#include <vector>

#include "demo_data/film_geometry.hpp"
#include "demo_data/pack_scene.hpp"
#include "demo_data/synth.hpp"

namespace vantrel::demo {

enum class ObjectKind { Mast, Signal, LimitBoard, Whistle, KmPost, Building, Tree, Crossing, NameBoard, Portal, ShelterPost, Pole };

struct SceneObject {
    double s = 0;
    ObjectKind kind = ObjectKind::KmPost;
    int index = 0;  // into the scene's table of that kind, or a value (limit)
};

class Scenery {
public:
    Scenery(const LineScene& line, const Film& film, const TrackGeometry& geometry);

    struct Frame {
        Camera cam;
        double s = 0;       // camera position along the line
        double time = 0;    // film time, seconds
        bool in_tunnel = false;
    };

    [[nodiscard]] const Span* tunnel_at(double s) const;
    void draw(QPainter& p, const Frame& f, const std::vector<double>& strips) const;
    void draw_cab_light(QPainter& p, const Frame& f) const;

private:
    void draw_strip(QPainter& p, const Frame& f, double s0, double s1) const;
    void draw_tunnel_strip(QPainter& p, const Frame& f, double s0, double s1) const;
    void draw_wires(QPainter& p, const Frame& f, double s0, double s1) const;
    void draw_object(QPainter& p, const Frame& f, const SceneObject& o) const;
    void draw_oncoming(QPainter& p, const Frame& f, const Oncoming& o, double front) const;
    void draw_building(QPainter& p, const Frame& f, const Building& b) const;
    void draw_tree(QPainter& p, const Frame& f, const Tree& t) const;
    void draw_signal(QPainter& p, const Frame& f, const SceneObject& o) const;
    void draw_crossing(QPainter& p, const Frame& f, const SceneObject& o) const;
    void draw_board(QPainter& p, const Frame& f, const SceneObject& o) const;
    void draw_portal(QPainter& p, const Frame& f, const SceneObject& o) const;

    // Lateral offsets of the tracks at a position (the camera's track is 0).
    [[nodiscard]] std::vector<double> tracks_at(double s) const;
    [[nodiscard]] const PackStation* station_at(double s, double before, double after) const;
    [[nodiscard]] bool inside(const std::vector<Span>& spans, double s) const;
    [[nodiscard]] QPolygonF quad(const Camera& c, double s0, double s1, double l0, double l1, double h0, double h1) const;
    [[nodiscard]] QColor fog(QColor c, double dist, bool tunnel) const;

    const LineScene& line_;
    const Film& film_;
    const TrackGeometry& g_;
    std::vector<SceneObject> objects_;  // sorted by position
    double half_ = 0;                   // half width of the formation
};

// Platform length of a station, metres.
[[nodiscard]] inline double platform_length(const LineScene& line) { return line.double_track ? 130 : 70; }

}  // namespace vantrel::demo
