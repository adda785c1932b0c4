#include "demo_data/film_renderer.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "demo_data/film_geometry.hpp"
#include "demo_data/film_scenery.hpp"

namespace vantrel::demo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Distances ahead of the camera at which the track is cut into strips, far to near.
std::vector<double> strip_distances() {
    std::vector<double> d;
    for (double x = 1.2; x < 600; x += x < 12 ? 0.6 : x < 40 ? 1.5 : x < 120 ? 4 : x < 300 ? 10 : 25) d.push_back(x);
    d.push_back(600);
    std::reverse(d.begin(), d.end());
    return d;
}

}  // namespace

struct FilmRenderer::Impl {
    const LineScene& line;
    const Film& film;
    int width, height;
    TrackGeometry geometry;
    Scenery scenery;
    std::vector<double> strips = strip_distances();
    QImage panorama;   // sky and hills all round, one row per picture row
    QImage vignette;   // darkened corners
    std::vector<QImage> grain;

    Impl(const LineScene& l, const Film& f, int w, int h)
        : line(l), film(f), width(w), height(h), geometry(l), scenery(l, f, geometry) {
        make_panorama();
        make_overlays();
    }

    void make_panorama() {
        const double focal = (width / 2.0) / std::tan(28.0 * kPi / 180);
        const int pw = static_cast<int>(2 * kPi * focal);
        const int ph = height * 2;
        panorama = QImage(pw, ph, QImage::Format_RGB32);
        QPainter p(&panorama);
        p.setRenderHint(QPainter::Antialiasing);
        const double horizon = ph * 0.5;
        QLinearGradient sky(0, 0, 0, horizon);
        sky.setColorAt(0, QColor(62, 112, 178));
        sky.setColorAt(0.6, QColor(140, 178, 216));
        sky.setColorAt(1, QColor(206, 218, 226));
        p.fillRect(QRectF(0, 0, pw, horizon), sky);
        p.fillRect(QRectF(0, horizon, pw, ph - horizon), QColor(120, 130, 110));
        Noise n(line.double_track ? 3 : 4);
        // Clouds: soft white blobs in a few banks.
        for (int i = 0; i < 40; ++i) {
            const double cx = n.uniform() * pw, cy = horizon * (0.15 + 0.6 * n.uniform());
            const double r = 20 + 50 * n.uniform();
            for (int k = 0; k < 5; ++k) {
                const double x = cx + (n.uniform() - 0.5) * r * 2.5, y = cy + (n.uniform() - 0.5) * r * 0.4;
                QRadialGradient g(QPointF(x, y), r);
                g.setColorAt(0, QColor(255, 255, 255, 150));
                g.setColorAt(1, QColor(255, 255, 255, 0));
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawEllipse(QPointF(x, y), r * 1.4, r * 0.55);
            }
        }
        // Two ranges of hills, the far one paler; their outline is periodic all round.
        for (int layer = 0; layer < 2; ++layer) {
            QPainterPath path;
            path.moveTo(0, horizon + 2);
            double ph1 = n.uniform() * 6, ph2 = n.uniform() * 6, ph3 = n.uniform() * 6;
            for (int x = 0; x <= pw; x += 4) {
                const double a = 2 * kPi * x / pw;
                const double hgt = (layer == 0 ? 34 : 18) *
                                   (0.55 + 0.25 * std::sin(3 * a + ph1) + 0.15 * std::sin(7 * a + ph2) +
                                    0.08 * std::sin(17 * a + ph3));
                path.lineTo(x, horizon + 2 - hgt * (line.double_track ? 0.7 : 1.2));
            }
            path.lineTo(pw, horizon + 2);
            path.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(layer == 0 ? QColor(150, 168, 178) : QColor(104, 128, 110));
            p.drawPath(path);
        }
    }

    void make_overlays() {
        vignette = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        vignette.fill(Qt::transparent);
        {
            QPainter p(&vignette);
            QRadialGradient g(QPointF(width / 2.0, height / 2.0), width * 0.62);
            g.setColorAt(0.55, QColor(0, 0, 0, 0));
            g.setColorAt(1.0, QColor(0, 0, 0, 120));
            p.fillRect(vignette.rect(), g);
        }
        for (uint32_t k = 0; k < 6; ++k) {
            QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
            Noise n(500 + k);
            for (int y = 0; y < height; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
                for (int x = 0; x < width; ++x) {
                    const int a = static_cast<int>(n.uniform() * 22);
                    const bool light = n.uniform() < 0.5;
                    const int c = light ? a : 0;  // premultiplied: white grain or black grain
                    row[x] = static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(c) << 16 |
                             static_cast<uint32_t>(c) << 8 | static_cast<uint32_t>(c);
                }
            }
            grain.push_back(std::move(img));
        }
    }

    void draw(QImage& target, double s, double time_s, uint32_t grain_index) const {
        QPainter p(&target);
        p.setRenderHint(QPainter::Antialiasing);
        const Camera cam = make_camera(geometry, s, width, height);
        const bool in_tunnel = scenery.tunnel_at(s) != nullptr;
        // Background: the panorama slice for the camera's yaw and pitch.
        const double shift = cam.focal * std::tan(cam.pitch);
        const int pw = panorama.width();
        const double x0 = std::fmod(-cam.yaw * cam.focal * 1.0 + pw * 100.0 - width / 2.0, pw);
        const double y0 = panorama.height() * 0.5 - (cam.cy + shift);
        p.drawImage(QPointF(-x0, -y0), panorama);
        if (x0 + width > pw) p.drawImage(QPointF(pw - x0, -y0), panorama);
        const Scenery::Frame f{cam, s, time_s, in_tunnel};
        scenery.draw(p, f, strips);
        if (in_tunnel) scenery.draw_cab_light(p, f);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawImage(0, 0, vignette);
        p.drawImage(0, 0, grain[grain_index % grain.size()]);
    }
};

FilmRenderer::FilmRenderer(const LineScene& line, const Film& film, int width, int height)
    : impl_(std::make_unique<Impl>(line, film, width, height)) {}

FilmRenderer::~FilmRenderer() = default;

void FilmRenderer::render(QImage& target, int32_t frame) const {
    const auto i = static_cast<size_t>(std::clamp(frame, 0, impl_->film.frames() - 1));
    impl_->draw(target, impl_->film.position_m[i], frame / 30.0, static_cast<uint32_t>(frame));
}

void FilmRenderer::render_at(QImage& target, double position_m, double time_s, uint32_t grain_seed) const {
    impl_->draw(target, position_m, time_s, grain_seed);
}

}  // namespace vantrel::demo
