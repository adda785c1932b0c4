// The lineside objects of the film: each drawn in perspective at its place.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>

#include "demo_data/film_scenery.hpp"
#include "demo_data/pack_pictures.hpp"

namespace vantrel::demo {
namespace {

constexpr double kOther = 3.8;

// A vertical rectangle facing the camera's track direction at position s.
QPolygonF facing(const Camera& c, const TrackGeometry& g, double s, double l0, double l1, double h0, double h1) {
    QPolygonF q;
    q << c.project(g.point(s, l0, h0)) << c.project(g.point(s, l1, h0)) << c.project(g.point(s, l1, h1))
      << c.project(g.point(s, l0, h1));
    return q;
}

}  // namespace

void Scenery::draw_object(QPainter& p, const Frame& f, const SceneObject& o) const {
    const Camera& c = f.cam;
    const double dist = o.s - f.s;
    if (dist < 1.5) return;
    const bool tunnel = tunnel_at(o.s) != nullptr;
    const double px = c.focal / dist;  // pixels per metre at that distance
    switch (o.kind) {
        case ObjectKind::Mast: {
            const bool dbl = line_.double_track;
            const double left = -2.7, right = dbl ? kOther + 2.7 : 2.7;
            const double w = std::max(0.8, 0.3 * px);
            p.setPen(QPen(fog(QColor(110, 112, 106), dist, false), w, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(c.project(g_.point(o.s, left, 0)), c.project(g_.point(o.s, left, 7.6)));
            if (dbl) {
                p.drawLine(c.project(g_.point(o.s, right, 0)), c.project(g_.point(o.s, right, 7.6)));
                p.setPen(QPen(fog(QColor(96, 98, 94), dist, false), std::max(0.8, 0.22 * px)));
                p.drawLine(c.project(g_.point(o.s, left, 7.3)), c.project(g_.point(o.s, right, 7.3)));
            } else {
                p.setPen(QPen(fog(QColor(96, 98, 94), dist, false), std::max(0.6, 0.12 * px)));
                p.drawLine(c.project(g_.point(o.s, left, 6.6)), c.project(g_.point(o.s, 0.4, 6.6)));
            }
            p.setPen(QPen(fog(QColor(80, 80, 76), dist, false), std::max(0.5, 0.06 * px)));
            for (double t : tracks_at(o.s)) p.drawLine(c.project(g_.point(o.s, t, 6.2)), c.project(g_.point(o.s, t, 5.1)));
            p.setPen(Qt::NoPen);
            break;
        }
        case ObjectKind::Pole: {
            const double l = 7.5;
            p.setPen(QPen(fog(QColor(96, 78, 60), dist, false), std::max(0.7, 0.25 * px), Qt::SolidLine, Qt::FlatCap));
            p.drawLine(c.project(g_.point(o.s, l, 0)), c.project(g_.point(o.s, l, 7.2)));
            p.setPen(QPen(fog(QColor(80, 66, 52), dist, false), std::max(0.6, 0.12 * px)));
            p.drawLine(c.project(g_.point(o.s, l - 0.8, 6.9)), c.project(g_.point(o.s, l + 0.8, 6.9)));
            p.setPen(Qt::NoPen);
            break;
        }
        case ObjectKind::Signal: draw_signal(p, f, o); break;
        case ObjectKind::LimitBoard:
        case ObjectKind::Whistle:
        case ObjectKind::KmPost:
        case ObjectKind::NameBoard: draw_board(p, f, o); break;
        case ObjectKind::Building: draw_building(p, f, line_.buildings[static_cast<size_t>(o.index)]); break;
        case ObjectKind::Tree: draw_tree(p, f, line_.trees[static_cast<size_t>(o.index)]); break;
        case ObjectKind::Crossing: draw_crossing(p, f, o); break;
        case ObjectKind::Portal: draw_portal(p, f, o); break;
        case ObjectKind::ShelterPost: {
            if (tunnel) break;
            p.setPen(QPen(fog(QColor(150, 40, 40), dist, false), std::max(0.7, 0.15 * px)));
            p.drawLine(c.project(g_.point(o.s, -5.6, 1.1)), c.project(g_.point(o.s, -5.6, 4.0)));
            if (line_.double_track)
                p.drawLine(c.project(g_.point(o.s, kOther + 5.6, 1.1)), c.project(g_.point(o.s, kOther + 5.6, 4.0)));
            p.setPen(Qt::NoPen);
            break;
        }
    }
}

void Scenery::draw_building(QPainter& p, const Frame& f, const Building& b) const {
    const Camera& c = f.cam;
    const double dist = b.at_m - f.s;
    const double dir = b.offset_m < 0 ? -1 : 1;
    const double near = b.offset_m, back = b.offset_m + dir * b.depth_m;
    const double s0 = b.at_m, s1 = b.at_m + b.length_m;
    const QColor wall(static_cast<int>((b.colour >> 16) & 255), static_cast<int>((b.colour >> 8) & 255),
                      static_cast<int>(b.colour & 255));
    p.setPen(Qt::NoPen);
    // Side wall along the track, the end wall facing the camera, a darker roof edge.
    p.setBrush(fog(wall.darker(118), dist, false));
    p.drawPolygon(quad(c, s0, s1, near, near, 0, b.height_m));
    p.setBrush(fog(wall, dist, false));
    p.drawPolygon(facing(c, g_, s0, near, back, 0, b.height_m));
    p.setBrush(fog(QColor(70, 66, 64), dist, false));
    p.drawPolygon(quad(c, s0, s1, near, near, b.height_m - 0.4, b.height_m));
    if (b.height_m < 8) {  // a pitched roof on the low houses
        QPolygonF roof;
        roof << c.project(g_.point(s0, near, b.height_m)) << c.project(g_.point(s0, (near + back) / 2, b.height_m + 2.2))
             << c.project(g_.point(s0, back, b.height_m));
        p.setBrush(fog(QColor(90, 70, 64), dist, false));
        p.drawPolygon(roof);
        p.drawPolygon(quad(c, s0, s1, near, (near + back) / 2, b.height_m, b.height_m + 2.2));
    }
    if (dist > 160) return;
    // Window grid on both visible walls.
    const QColor glass = fog(QColor(70, 86, 104), dist, false);
    p.setBrush(glass);
    for (double h = 1.2; h + 1.4 < b.height_m - 0.5; h += 3.0) {
        for (double s = s0 + 1.2; s + 1.6 < s1; s += 3.2) p.drawPolygon(quad(c, s, s + 1.6, near, near, h, h + 1.4));
        for (double l = 1.0; l + 1.4 < b.depth_m; l += 3.0)
            p.drawPolygon(facing(c, g_, s0, near + dir * l, near + dir * (l + 1.4), h, h + 1.4));
    }
}

void Scenery::draw_tree(QPainter& p, const Frame& f, const Tree& t) const {
    const Camera& c = f.cam;
    const double dist = t.at_m - f.s;
    const QPointF base = c.project(g_.point(t.at_m, t.offset_m, 0));
    const QPointF top = c.project(g_.point(t.at_m, t.offset_m, t.height_m));
    const double px = c.focal / dist;
    p.setPen(QPen(fog(QColor(80, 62, 44), dist, false), std::max(0.7, 0.3 * px)));
    p.drawLine(base, base + (top - base) * 0.45);
    p.setPen(Qt::NoPen);
    const uint32_t shade = static_cast<uint32_t>(t.at_m * 7 + t.offset_m * 13) % 30;
    if (t.kind == 1) {
        QPolygonF cone;
        const double r = t.height_m * 0.22 * px;
        const QPointF low = base + (top - base) * 0.25;
        cone << top << low + QPointF(r, 0) << low - QPointF(r, 0);
        p.setBrush(fog(QColor(40 + static_cast<int>(shade), 78 + static_cast<int>(shade), 50), dist, false));
        p.drawPolygon(cone);
    } else {
        const double r = t.height_m * 0.3 * px;
        const QPointF mid = base + (top - base) * 0.68;
        p.setBrush(fog(QColor(62 + static_cast<int>(shade), 100 + static_cast<int>(shade), 52), dist, false));
        p.drawEllipse(mid, r * 1.05, r);
        p.setBrush(fog(QColor(92 + static_cast<int>(shade), 132 + static_cast<int>(shade), 70), dist, false));
        p.drawEllipse(mid - QPointF(r * 0.25, r * 0.3), r * 0.6, r * 0.5);
    }
}

void Scenery::draw_signal(QPainter& p, const Frame& f, const SceneObject& o) const {
    const Camera& c = f.cam;
    const double dist = o.s - f.s;
    const bool tunnel = tunnel_at(o.s) != nullptr;
    const double px = c.focal / dist;
    const double l = -2.3, top = 4.6;
    p.setPen(QPen(fog(QColor(120, 120, 118), dist, tunnel), std::max(0.8, 0.2 * px)));
    p.drawLine(c.project(g_.point(o.s, l, 0)), c.project(g_.point(o.s, l, top)));
    p.setPen(Qt::NoPen);
    const int type = line_.signal_posts[static_cast<size_t>(o.index)].type;
    const int lamps = type >= 5 ? 5 : type >= 3 ? 4 : 3;
    const double h = 0.34 * lamps + 0.2;
    p.setBrush(fog(QColor(20, 20, 22), dist, tunnel));
    p.drawPolygon(facing(c, g_, o.s, l - 0.3, l + 0.3, top, top + h));
    p.setBrush(fog(QColor(230, 230, 226), dist, tunnel));
    p.drawPolygon(facing(c, g_, o.s, l - 0.36, l + 0.36, top - 0.1, top));
    if (px < 3) return;
    p.setBrush(fog(QColor(56, 58, 62), dist, tunnel));
    for (int i = 0; i < lamps; ++i) {
        const QPointF at = c.project(g_.point(o.s, l, top + 0.2 + 0.34 * i + 0.12));
        p.drawEllipse(at, 0.12 * px, 0.12 * px);
    }
}

void Scenery::draw_crossing(QPainter& p, const Frame& f, const SceneObject& o) const {
    const Camera& c = f.cam;
    const double dist = o.s - f.s;
    const double px = c.focal / dist;
    const double right = half_ + (line_.double_track ? kOther : 0);
    p.setPen(Qt::NoPen);
    p.setBrush(fog(QColor(84, 84, 88), dist, false));
    p.drawPolygon(quad(c, o.s - 3, o.s + 3, -90, 90 + right, 0.02, 0.02));
    p.setBrush(fog(QColor(220, 220, 214), dist, false));
    for (double l : {-90.0, 90.0 + right}) {
        p.drawPolygon(quad(c, o.s - 3, o.s - 2.85, -half_ - 2, l, 0.03, 0.03));
        p.drawPolygon(quad(c, o.s + 2.85, o.s + 3, -half_ - 2, l, 0.03, 0.03));
    }
    // The warning lights flash while the train approaches, and the barriers are down.
    const bool flash = dist < 320 && std::fmod(f.time * 2.6, 2.0) < 1.0;
    for (double side : {-1.0, 1.0}) {
        const double l = side < 0 ? -half_ - 2.2 : right + 2.2;
        const double so = side < 0 ? o.s - 3.6 : o.s + 3.6;
        p.setPen(QPen(fog(QColor(235, 235, 235), dist, false), std::max(0.8, 0.14 * px)));
        p.drawLine(c.project(g_.point(so, l, 0)), c.project(g_.point(so, l, 3.4)));
        // Crossbuck: two yellow and black boards.
        p.setPen(QPen(fog(QColor(240, 200, 30), dist, false), std::max(0.8, 0.2 * px)));
        p.drawLine(c.project(g_.point(so, l - 0.6, 2.6)), c.project(g_.point(so, l + 0.6, 3.3)));
        p.drawLine(c.project(g_.point(so, l - 0.6, 3.3)), c.project(g_.point(so, l + 0.6, 2.6)));
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 2; ++k) {
            const bool on = flash == (k == 0);
            const QPointF at = c.project(g_.point(so, l + (k == 0 ? -0.35 : 0.35), 2.1));
            p.setBrush(on ? QColor(255, 50, 30) : fog(QColor(60, 20, 20), dist, false));
            p.drawEllipse(at, std::max(1.0, 0.16 * px), std::max(1.0, 0.16 * px));
            if (on) {
                QRadialGradient g(at, 0.9 * px + 2);
                g.setColorAt(0, QColor(255, 80, 40, 160));
                g.setColorAt(1, QColor(255, 80, 40, 0));
                p.setBrush(g);
                p.drawEllipse(at, 0.9 * px + 2, 0.9 * px + 2);
            }
        }
        // The barrier, lowered across the road, striped yellow and black.
        for (int k = 0; k < 6; ++k) {
            const double a = so - side * 1.1 * k, b = so - side * 1.1 * (k + 1);
            p.setPen(QPen(k % 2 ? QColor(30, 30, 30) : fog(QColor(245, 205, 30), dist, false), std::max(0.8, 0.12 * px)));
            p.drawLine(c.project(g_.point(a, l, 1.0)), c.project(g_.point(b, l, 1.0)));
        }
        p.setPen(Qt::NoPen);
    }
}

void Scenery::draw_board(QPainter& p, const Frame& f, const SceneObject& o) const {
    const Camera& c = f.cam;
    const double dist = o.s - f.s;
    const bool tunnel = tunnel_at(o.s) != nullptr;
    const double px = c.focal / dist;
    p.setPen(Qt::NoPen);
    if (o.kind == ObjectKind::KmPost) {
        p.setBrush(fog(QColor(236, 236, 232), dist, tunnel));
        p.drawPolygon(facing(c, g_, o.s, -3.1, -2.9, 0, 0.9));
        return;
    }
    double l0 = -2.9, l1 = -2.1, h0 = 1.8, h1 = 2.6;
    QString text;
    QColor back(245, 245, 240), ink(20, 20, 20);
    if (o.kind == ObjectKind::LimitBoard) {
        text = QString::number(o.index);
        back = QColor(250, 250, 250);
    } else if (o.kind == ObjectKind::Whistle) {
        text = "笛";
    } else {
        const PackStation& st = line_.stations[static_cast<size_t>(o.index)];
        text = QString::fromStdString(st.name);
        l0 = -7.2, l1 = -3.6, h0 = 2.3, h1 = 3.3;
    }
    p.setPen(QPen(fog(QColor(120, 120, 120), dist, tunnel), std::max(0.6, 0.1 * px)));
    p.drawLine(c.project(g_.point(o.s, (l0 + l1) / 2, o.kind == ObjectKind::NameBoard ? 1.1 : 0)),
               c.project(g_.point(o.s, (l0 + l1) / 2, h0)));
    p.setPen(Qt::NoPen);
    const QPolygonF q = facing(c, g_, o.s, l0, l1, h0, h1);
    p.setBrush(fog(back, dist, tunnel));
    p.drawPolygon(q);
    if (px < 4) return;
    // The text, mapped onto the board.
    const int w = o.kind == ObjectKind::NameBoard ? 360 : 80, h = o.kind == ObjectKind::NameBoard ? 100 : 80;
    QPolygonF rect;
    rect << QPointF(0, h) << QPointF(w, h) << QPointF(w, 0) << QPointF(0, 0);
    QTransform tr;
    if (!QTransform::quadToQuad(rect, q, tr)) return;
    p.save();
    p.setTransform(tr, true);
    p.setPen(fog(ink, dist, tunnel));
    if (o.kind == ObjectKind::NameBoard) {
        const PackStation& st = line_.stations[static_cast<size_t>(o.index)];
        p.setFont(pack_font(50, true));
        p.drawText(QRectF(0, 0, w, 66), Qt::AlignCenter, text);
        p.setFont(pack_font(20));
        p.drawText(QRectF(0, 64, w, 30), Qt::AlignCenter, QString::fromStdString(st.kana));
        p.fillRect(QRectF(0, 92, w, 8), fog(QColor(30, 110, 60), dist, tunnel));
    } else {
        p.setFont(pack_font(o.kind == ObjectKind::Whistle ? 60 : 44, true));
        p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, text);
    }
    p.restore();
}

void Scenery::draw_portal(QPainter& p, const Frame& f, const SceneObject& o) const {
    const Camera& c = f.cam;
    const double dist = o.s - f.s;
    if (dist < 2) return;
    const double hw = half_ + (line_.double_track ? kOther : 0) / 2 + 1.6;
    const double mid = line_.double_track ? kOther / 2 : 0;
    // The hillside with the tunnel mouth cut out of it (odd-even fill leaves the hole).
    QPainterPath hill;
    hill.setFillRule(Qt::OddEvenFill);
    QPolygonF outer;
    outer << c.project(g_.point(o.s, mid - 120, -1)) << c.project(g_.point(o.s, mid - 120, 10))
          << c.project(g_.point(o.s, mid - 40, 26)) << c.project(g_.point(o.s, mid + 30, 30))
          << c.project(g_.point(o.s, mid + 120, 12)) << c.project(g_.point(o.s, mid + 120, -1));
    QPolygonF hole;
    hole << c.project(g_.point(o.s, mid - hw, 0)) << c.project(g_.point(o.s, mid - hw, 4.2))
         << c.project(g_.point(o.s, mid - hw + 1.6, 6.0)) << c.project(g_.point(o.s, mid + hw - 1.6, 6.0))
         << c.project(g_.point(o.s, mid + hw, 4.2)) << c.project(g_.point(o.s, mid + hw, 0));
    hill.addPolygon(outer);
    hill.addPolygon(hole);
    p.setPen(Qt::NoPen);
    // Shaded from the wooded top down to the darker foot of the slope.
    QLinearGradient slope(c.project(g_.point(o.s, mid, 30)), c.project(g_.point(o.s, mid, -1)));
    slope.setColorAt(0, fog(QColor(92, 122, 70), dist, false));
    slope.setColorAt(1, fog(QColor(58, 80, 48), dist, false));
    p.setBrush(slope);
    p.drawPath(hill);
    QPainterPath face;
    face.setFillRule(Qt::OddEvenFill);
    QPolygonF frame;
    frame << c.project(g_.point(o.s, mid - hw - 2, 0)) << c.project(g_.point(o.s, mid - hw - 2, 8.2))
          << c.project(g_.point(o.s, mid + hw + 2, 8.2)) << c.project(g_.point(o.s, mid + hw + 2, 0));
    face.addPolygon(frame);
    face.addPolygon(hole);
    p.setBrush(fog(QColor(150, 146, 136), dist, false));
    p.drawPath(face);
}

void Scenery::draw_oncoming(QPainter& p, const Frame& f, const Oncoming& o, double front) const {
    const Camera& c = f.cam;
    const double near = std::max(front, f.s + 3), back = front + o.cars * 20.0;
    const double dist = near - f.s;
    const double px = c.focal / dist;
    const double l = kOther - 1.45;
    p.setPen(Qt::NoPen);
    p.setBrush(fog(QColor(196, 200, 204), dist, false));
    p.drawPolygon(quad(c, near, back, l, l, 1.0, 3.9));
    p.setBrush(fog(QColor(40, 140, 90), dist, false));
    p.drawPolygon(quad(c, near, back, l, l, 1.6, 1.85));
    p.setBrush(fog(QColor(50, 60, 72), dist, false));
    p.drawPolygon(quad(c, near, back, l, l, 2.2, 3.2));
    p.setBrush(fog(QColor(70, 70, 70), dist, false));
    p.drawPolygon(quad(c, near, back, l, l, 0.4, 1.0));
    if (dist < 150) {
        // Window pillars, and the doors: four a car, a little darker than the body.
        p.setBrush(fog(QColor(186, 190, 194), dist, false));
        for (double x = front + 1.5; x < back; x += 2.5)
            if (x > near) p.drawPolygon(quad(c, x, x + 0.35, l, l, 2.2, 3.2));
        p.setBrush(fog(QColor(150, 154, 160), dist, false));
        for (double car = front; car < back; car += 20)
            for (double d : {3.0, 8.0, 13.0, 18.0})
                if (car + d > near) p.drawPolygon(quad(c, car + d - 0.65, car + d + 0.65, l, l, 1.0, 3.6));
    }
    if (front < f.s + 3) return;
    p.setBrush(fog(QColor(210, 212, 214), dist, false));
    p.drawPolygon(facing(c, g_, front, kOther - 1.45, kOther + 1.45, 0.5, 4.0));
    p.setBrush(fog(QColor(30, 36, 44), dist, false));
    p.drawPolygon(facing(c, g_, front, kOther - 1.2, kOther + 1.2, 2.3, 3.4));
    p.setBrush(fog(QColor(40, 140, 90), dist, false));
    p.drawPolygon(facing(c, g_, front, kOther - 1.45, kOther + 1.45, 1.6, 1.85));
    for (double side : {-0.95, 0.95}) {
        const QPointF at = c.project(g_.point(front, kOther + side, 1.25));
        QRadialGradient g(at, std::max(2.0, 0.5 * px));
        g.setColorAt(0, QColor(255, 255, 240, 255));
        g.setColorAt(1, QColor(255, 255, 200, 0));
        p.setBrush(g);
        p.drawEllipse(at, std::max(2.0, 0.5 * px), std::max(2.0, 0.5 * px));
    }
}

}  // namespace vantrel::demo
