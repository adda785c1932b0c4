#include "demo_data/film_scenery.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel::demo {
namespace {

constexpr double kGauge = 1.067 / 2 + 0.03;  // rail centre from the track centre
constexpr double kOtherTrack = 3.8;
constexpr double kPoleLine = 7.5;  // lateral place of the pole line beside a line without catenary

uint32_t hash(int64_t a, int64_t b) {
    auto h = static_cast<uint32_t>(a * 73856093 ^ b * 19349663);
    h ^= h >> 13;
    h *= 0x5bd1e995;
    return h ^ (h >> 15);
}

}  // namespace

Scenery::Scenery(const LineScene& line, const Film& film, const TrackGeometry& geometry)
    : line_(line), film_(film), g_(geometry) {
    half_ = line.double_track ? 3.2 : 2.8;
    auto add = [&](double s, ObjectKind k, int i) { objects_.push_back({s, k, i}); };
    const double end = line.length_m + 700;
    if (line.electrified)
        for (double s = 25; s < end; s += 50)
            if (!inside(line.tunnels, s)) add(s, ObjectKind::Mast, 0);
    // Without catenary a pole line runs beside the track.
    if (!line.electrified)
        for (double s = 20; s < end; s += 45)
            if (!inside(line.tunnels, s) && !inside(line.bridges, s)) add(s, ObjectKind::Pole, 0);
    for (size_t i = 0; i < line.signal_posts.size(); ++i) add(line.signal_posts[i].at_m, ObjectKind::Signal, static_cast<int>(i));
    for (const CurveSpan& c : line.curves)
        if (c.limit > 0) add(c.from_m - 20, ObjectKind::LimitBoard, c.limit);
    for (double c : line.crossings) add(c - 250, ObjectKind::Whistle, 0);
    for (const Span& t : line.tunnels) add(t.from_m - 250, ObjectKind::Whistle, 0);
    for (double s = 100; s < end; s += 100)
        if (!inside(line.tunnels, s) && !inside(line.bridges, s)) add(s, ObjectKind::KmPost, static_cast<int>(s / 100));
    for (size_t i = 0; i < line.buildings.size(); ++i) add(line.buildings[i].at_m, ObjectKind::Building, static_cast<int>(i));
    for (size_t i = 0; i < line.trees.size(); ++i) add(line.trees[i].at_m, ObjectKind::Tree, static_cast<int>(i));
    for (size_t i = 0; i < line.crossings.size(); ++i) add(line.crossings[i], ObjectKind::Crossing, static_cast<int>(i));
    for (size_t i = 0; i < line.stations.size(); ++i) {
        const double stop = line.stations[i].stop_m;
        add(stop - 28, ObjectKind::NameBoard, static_cast<int>(i));
        for (double s = stop - 60; s <= stop + 10; s += 10) add(s, ObjectKind::ShelterPost, static_cast<int>(i));
    }
    for (size_t i = 0; i < line.tunnels.size(); ++i) add(line.tunnels[i].from_m, ObjectKind::Portal, static_cast<int>(i));
    // Nothing stands on the track bed, the platforms or the bridges.
    std::erase_if(objects_, [&](const SceneObject& o) {
        if (o.kind != ObjectKind::Building && o.kind != ObjectKind::Tree) return false;
        const bool station = station_at(o.s, platform_length(line) + 10, 30) != nullptr;
        const double off = o.kind == ObjectKind::Building ? line.buildings[static_cast<size_t>(o.index)].offset_m
                                                          : line.trees[static_cast<size_t>(o.index)].offset_m;
        const bool crossing = std::any_of(line.crossings.begin(), line.crossings.end(),
                                          [&](double c) { return std::fabs(o.s - c) < 25; });
        return crossing || inside(line.bridges, o.s) || (station && std::fabs(off) < half_ + 10 + (off > 0 ? 4 : 0));
    });
    std::stable_sort(objects_.begin(), objects_.end(), [](const SceneObject& a, const SceneObject& b) { return a.s < b.s; });
}

const Span* Scenery::tunnel_at(double s) const {
    for (const Span& t : line_.tunnels)
        if (s >= t.from_m && s < t.to_m) return &t;
    return nullptr;
}

bool Scenery::inside(const std::vector<Span>& spans, double s) const {
    return std::any_of(spans.begin(), spans.end(), [&](const Span& x) { return s >= x.from_m && s < x.to_m; });
}

const PackStation* Scenery::station_at(double s, double before, double after) const {
    for (const PackStation& st : line_.stations)
        if (s > st.stop_m - before && s < st.stop_m + after) return &st;
    return nullptr;
}

std::vector<double> Scenery::tracks_at(double s) const {
    if (line_.double_track) return {0, kOtherTrack};
    for (const PackStation& st : line_.stations) {
        if (!st.passing_loop) continue;
        const double a = st.stop_m - 170, b = st.stop_m + 110, ramp = 45;
        if (s > a && s < b) {
            const double u = std::min({1.0, (s - a) / ramp, (b - s) / ramp});
            return {0, kOtherTrack * (3 * u * u - 2 * u * u * u)};
        }
    }
    return {0};
}

QColor Scenery::fog(QColor c, double dist, bool tunnel) const {
    const double f = tunnel ? 1 - std::exp(-dist / 70) : 1 - std::exp(-dist / 380);
    const QColor to = tunnel ? QColor(4, 4, 4) : QColor(196, 208, 218);
    return QColor(static_cast<int>(c.red() + (to.red() - c.red()) * f),
                  static_cast<int>(c.green() + (to.green() - c.green()) * f),
                  static_cast<int>(c.blue() + (to.blue() - c.blue()) * f));
}

QPolygonF Scenery::quad(const Camera& c, double s0, double s1, double l0, double l1, double h0, double h1) const {
    QPolygonF q;
    q << c.project(g_.point(s0, l0, h0)) << c.project(g_.point(s0, l1, h1)) << c.project(g_.point(s1, l1, h1))
      << c.project(g_.point(s1, l0, h0));
    return q;
}

void Scenery::draw(QPainter& p, const Frame& f, const std::vector<double>& strips) const {
    // Objects within the view distance, grouped by the strip they stand in.
    const auto first = std::lower_bound(objects_.begin(), objects_.end(), f.s + 1.5,
                                        [](const SceneObject& o, double s) { return o.s < s; });
    const double far = f.s + strips.front();
    const Span* cam_tunnel = tunnel_at(f.s);
    for (size_t k = 0; k + 1 < strips.size(); ++k) {
        const double s1 = f.s + strips[k], s0 = f.s + strips[k + 1];
        // In a tunnel the exit may be out of sight: nothing beyond its walls shows.
        if (cam_tunnel && s1 > cam_tunnel->to_m + 400) continue;
        // Surfaces without antialiasing: blended edges would let the background show
        // through the seams between neighbouring strips.
        p.setRenderHint(QPainter::Antialiasing, false);
        if (tunnel_at((s0 + s1) / 2)) {
            draw_tunnel_strip(p, f, s0, s1);
        } else {
            draw_strip(p, f, s0, s1);
        }
        p.setRenderHint(QPainter::Antialiasing, true);
        draw_wires(p, f, s0, s1);
        // Objects in this strip, far first.
        std::vector<const SceneObject*> here;
        for (auto it = first; it != objects_.end() && it->s < far; ++it)
            if (it->s >= s0 && it->s < s1) here.push_back(&*it);
        for (auto it = here.rbegin(); it != here.rend(); ++it) draw_object(p, f, **it);
        if (line_.double_track) {
            for (const Oncoming& o : line_.oncoming) {
                const double t_meet = film_.frame_at(o.meet_m) / 30.0;
                const double front = o.meet_m + o.speed_kmh / 3.6 * (t_meet - f.time);
                const double nearest = std::max(front, f.s + 3);
                if (nearest >= s0 && nearest < s1 && front + o.cars * 20 > f.s + 3) draw_oncoming(p, f, o, front);
            }
        }
    }
}

void Scenery::draw_strip(QPainter& p, const Frame& f, double s0, double s1) const {
    const Camera& c = f.cam;
    const double dist = (s0 + s1) / 2 - f.s;
    const auto tracks = tracks_at((s0 + s1) / 2);
    const bool bridge = inside(line_.bridges, (s0 + s1) / 2);
    const bool field = inside(line_.fields, (s0 + s1) / 2);
    const double right_edge = half_ + (tracks.size() > 1 ? tracks.back() : 0);
    p.setPen(Qt::NoPen);
    // Ground either side: patches of fields or town ground, water under bridges.
    const double lo = -90, hi = 90 + right_edge;
    if (bridge) {
        p.setBrush(fog(QColor(70, 96, 110), dist, false));
        p.drawPolygon(quad(c, s0, s1, lo, hi, -7, -7));
    } else {
        const int64_t patch = static_cast<int64_t>(std::floor((s0 + s1) / 2 / 28));
        const double bands[] = {lo, -28, -12, -half_ - 1.5, right_edge + 1.5, right_edge + 12, right_edge + 28, hi};
        for (int b = 0; b < 7; ++b) {
            if (b == 3) continue;
            const uint32_t h = hash(patch, b);
            QColor col = field ? ((h & 3) == 0 ? QColor(150, 160, 86) : (h & 3) == 1 ? QColor(96, 138, 70) : QColor(116, 150, 80))
                               : ((h & 3) == 0 ? QColor(118, 120, 100) : QColor(104, 120, 84));
            if (b == 2 || b == 4) col = field ? QColor(112, 136, 72) : QColor(122, 124, 104);  // verge
            p.setBrush(fog(col, dist, false));
            p.drawPolygon(quad(c, s0, s1, bands[b], bands[b + 1], 0, 0));
        }
    }
    // Formation and ballast.
    p.setBrush(fog(bridge ? QColor(70, 70, 72) : QColor(128, 118, 104), dist, false));
    p.drawPolygon(quad(c, s0, s1, -half_ - 1.5, right_edge + 1.5, bridge ? 0 : -0.1, bridge ? 0 : -0.1));
    for (double t : tracks) {
        const uint32_t h = hash(static_cast<int64_t>(s0 * 2), static_cast<int64_t>(t * 10));
        const int v = static_cast<int>(h % 10);
        p.setBrush(fog(QColor(112 + v, 106 + v, 98 + v), dist, false));
        p.drawPolygon(quad(c, s0, s1, t - 1.55, t + 1.55, 0.05, 0.05));
    }
    // Platforms: side face, top, white edge and yellow tactile line.
    if (const PackStation* st = station_at((s0 + s1) / 2, platform_length(line_), 25)) {
        std::vector<std::pair<double, double>> sides = {{-1.7, -9.0}};
        if (line_.double_track) sides.push_back({kOtherTrack + 1.7, kOtherTrack + 9.0});
        for (auto [edge, back] : sides) {
            const double dir = back > edge ? 1 : -1;
            p.setBrush(fog(QColor(92, 90, 86), dist, false));
            p.drawPolygon(quad(c, s0, s1, edge, edge, 0, 1.1));
            p.setBrush(fog(QColor(176, 172, 164), dist, false));
            p.drawPolygon(quad(c, s0, s1, edge, back, 1.1, 1.1));
            p.setBrush(fog(QColor(240, 240, 236), dist, false));
            p.drawPolygon(quad(c, s0, s1, edge, edge + dir * 0.15, 1.11, 1.11));
            p.setBrush(fog(QColor(236, 196, 40), dist, false));
            p.drawPolygon(quad(c, s0, s1, edge + dir * 0.8, edge + dir * 1.1, 1.11, 1.11));
            // Shelter roof over the middle of the platform.
            if ((s0 + s1) / 2 > st->stop_m - 65 && (s0 + s1) / 2 < st->stop_m + 15) {
                p.setBrush(fog(QColor(70, 74, 80), dist, false));
                p.drawPolygon(quad(c, s0, s1, edge + dir * 1.2, edge + dir * 6.5, 4.0, 4.3));
                p.setBrush(fog(QColor(150, 40, 40), dist, false));
                p.drawPolygon(quad(c, s0, s1, edge + dir * 1.2, edge + dir * 1.2, 4.0, 4.35));
            }
        }
    }
    // Sleepers every 0.6 m near the camera; rails with a bright running surface.
    if (dist < 70) {
        p.setBrush(fog(QColor(150, 146, 138), dist, false));
        for (double sl = std::ceil(s0 / 0.6) * 0.6; sl < s1; sl += 0.6)
            for (double t : tracks) p.drawPolygon(quad(c, sl, sl + 0.2, t - 1.0, t + 1.0, 0.12, 0.12));
    }
    const double z = std::max(0.5, dist);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (double t : tracks)
        for (double side : {-kGauge, kGauge}) {
            const QPointF a = c.project(g_.point(s0, t + side, 0.17)), b = c.project(g_.point(s1, t + side, 0.17));
            const double w = std::max(0.7, 0.09 * c.focal / z);
            p.setPen(QPen(fog(QColor(70, 58, 50), dist, false), w, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(a, b);
            p.setPen(QPen(fog(QColor(218, 220, 224), dist, false), std::max(0.5, w * 0.45), Qt::SolidLine, Qt::FlatCap));
            p.drawLine(a - QPointF(0, w * 0.3), b - QPointF(0, w * 0.3));
        }
    p.setPen(Qt::NoPen);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Bridge girders either side and fences along the town stretches.
    if (bridge) {
        for (double l : {-half_ + 0.6, right_edge - 0.6}) {
            p.setBrush(fog(QColor(62, 96, 120), dist, false));
            p.drawPolygon(quad(c, s0, s1, l, l, 0, 1.5));
            p.setBrush(fog(QColor(90, 130, 156), dist, false));
            p.drawPolygon(quad(c, s0, s1, l, l, 1.4, 1.6));
        }
    } else if (!field && !station_at((s0 + s1) / 2, platform_length(line_) + 5, 30) && dist < 200) {
        p.setPen(QPen(fog(QColor(90, 96, 92), dist, false), std::max(0.6, 0.05 * c.focal / z)));
        for (double l : {-half_ - 2.6, right_edge + 2.6})
            p.drawLine(c.project(g_.point(s0, l, 1.2)), c.project(g_.point(s1, l, 1.2)));
        p.setPen(Qt::NoPen);
    }
}

void Scenery::draw_tunnel_strip(QPainter& p, const Frame& f, double s0, double s1) const {
    const Camera& c = f.cam;
    const double dist = (s0 + s1) / 2 - f.s;
    const double hw = half_ + (line_.double_track ? kOtherTrack : 0) / 2 + 1.6;
    const double mid = line_.double_track ? kOtherTrack / 2 : 0;
    // Lamps every 25 m on the left wall light the concrete around them.
    const double lamp = std::fmod((s0 + s1) / 2 + 1000, 25.0);
    const double lit = std::max(0.0, 1 - std::min(lamp, 25 - lamp) / 7);
    auto wall = [&](int base) { return fog(QColor(base + static_cast<int>(70 * lit), base + static_cast<int>(60 * lit), base + static_cast<int>(40 * lit)), dist, true); };
    const double pts[][2] = {{mid - hw, 0}, {mid - hw, 4.2}, {mid - hw + 1.6, 6.0}, {mid + hw - 1.6, 6.0}, {mid + hw, 4.2}, {mid + hw, 0}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(wall(i == 2 ? 34 : 46));
        p.drawPolygon(quad(c, s0, s1, pts[i][0], pts[i + 1][0], pts[i][1], pts[i + 1][1]));
    }
    p.setBrush(fog(QColor(40, 38, 34), dist, true));
    p.drawPolygon(quad(c, s0, s1, mid - hw, mid + hw, 0, 0));
    for (double t : tracks_at((s0 + s1) / 2)) {
        p.setBrush(wall(30));
        p.drawPolygon(quad(c, s0, s1, t - 1.5, t + 1.5, 0.05, 0.05));
        for (double side : {-kGauge, kGauge}) {
            p.setPen(QPen(fog(QColor(120, 118, 112), dist, true), std::max(0.6, 0.07 * c.focal / std::max(0.5, dist))));
            p.drawLine(c.project(g_.point(s0, t + side, 0.17)), c.project(g_.point(s1, t + side, 0.17)));
            p.setPen(Qt::NoPen);
        }
    }
    // The lamps themselves: small warm lights.
    for (double l = std::ceil(s0 / 25) * 25; l < s1; l += 25) {
        const QPointF at = c.project(g_.point(l, mid - hw + 0.05, 3.2));
        const double r = std::max(1.0, 0.25 * c.focal / std::max(1.0, l - f.s));
        QRadialGradient glow(at, r * 4);
        glow.setColorAt(0, QColor(255, 230, 170, 230));
        glow.setColorAt(1, QColor(255, 200, 120, 0));
        p.setBrush(glow);
        p.drawEllipse(at, r * 4, r * 4);
    }
}

void Scenery::draw_wires(QPainter& p, const Frame& f, double s0, double s1) const {
    const Camera& c = f.cam;
    const double dist = (s0 + s1) / 2 - f.s;
    if (!line_.electrified) {
        if (tunnel_at(s0) || inside(line_.bridges, s0) || dist > 300) return;
        p.setPen(QPen(fog(QColor(50, 50, 50), dist, false), std::max(0.5, 0.02 * c.focal / std::max(1.0, dist))));
        for (double l : {kPoleLine - 0.5, kPoleLine + 0.5})
            p.drawLine(c.project(g_.point(s0, l, 6.8)), c.project(g_.point(s1, l, 6.8)));
        p.setPen(Qt::NoPen);
        return;
    }
    const double w = std::max(0.6, 0.03 * c.focal / std::max(1.0, dist));
    for (double t : tracks_at((s0 + s1) / 2)) {
        p.setPen(QPen(fog(QColor(40, 44, 40), dist, f.in_tunnel && tunnel_at(s0)), w));
        p.drawLine(c.project(g_.point(s0, t, 5.1)), c.project(g_.point(s1, t, 5.1)));
        // The catenary sags between masts.
        auto sag = [](double s) {
            const double u = std::fmod(s + 1000 - 25, 50.0) / 50;
            return 6.2 - 0.5 * 4 * u * (1 - u);
        };
        p.drawLine(c.project(g_.point(s0, t, sag(s0))), c.project(g_.point(s1, t, sag(s1))));
    }
    p.setPen(Qt::NoPen);
}

void Scenery::draw_cab_light(QPainter& p, const Frame& f) const {
    // Headlight pool on the track ahead.
    const QPointF at = f.cam.project(g_.point(f.s + 25, 0, 0));
    QRadialGradient g(at, 120);
    g.setColorAt(0, QColor(255, 240, 200, 50));
    g.setColorAt(1, QColor(255, 240, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(at, 160, 70);
}

}  // namespace vantrel::demo
