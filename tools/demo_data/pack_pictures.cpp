#include "demo_data/pack_pictures.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace vantrel::demo {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;
const QColor kKey(255, 0, 255);  // transparent colour of the needles

QColor rgb(uint32_t c) { return QColor((c >> 16) & 255, (c >> 8) & 255, c & 255); }

bool save(const QImage& img, const fs::path& file, const char* format, int quality) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return img.save(QString::fromStdString(file.string()), format, quality);
}

void keep(bool ok, const fs::path& file, std::string& failed) {
    if (!ok) failed = file.string();
}

// A dial face: white scale, ticks and numbers on a black face with a chrome ring.
void draw_dial(QPainter& p, const Dial& d, int oy) {
    const QPointF c(d.cx, d.cy - oy);
    QRadialGradient ring(c, d.r + 4);
    ring.setColorAt(0.85, QColor(60, 62, 66));
    ring.setColorAt(0.95, QColor(190, 192, 196));
    ring.setColorAt(1.0, QColor(70, 72, 76));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(c, d.r + 4, d.r + 4);
    QRadialGradient face(c - QPointF(d.r * 0.3, d.r * 0.3), d.r * 1.4);
    face.setColorAt(0, QColor(34, 36, 40));
    face.setColorAt(1, QColor(10, 10, 12));
    p.setBrush(face);
    p.drawEllipse(c, d.r, d.r);
    const double span = d.to_deg - d.from_deg;
    const double minor = d.step / 5;
    for (double v = d.lo; v <= d.hi + 1e-6; v += minor) {
        const double a = (d.from_deg + span * (v - d.lo) / (d.hi - d.lo)) * kPi / 180;
        const bool major = std::fmod(std::fabs(v - d.lo) + 1e-6, d.step) < 1e-3;
        const double r0 = d.r * (major ? 0.80 : 0.87), r1 = d.r * 0.95;
        p.setPen(QPen(QColor(235, 235, 230), major ? 2.0 : 1.0));
        p.drawLine(c + QPointF(std::sin(a) * r0, -std::cos(a) * r0), c + QPointF(std::sin(a) * r1, -std::cos(a) * r1));
        if (major) {
            const double rt = d.r * 0.62;
            const QPointF at = c + QPointF(std::sin(a) * rt, -std::cos(a) * rt);
            p.setFont(pack_font(d.r > 60 ? 11 : (d.r > 40 ? 9 : 8)));
            const QString text = QString::number(static_cast<int>(std::lround(d.r > 40 ? v : v / 100)));
            p.drawText(QRectF(at.x() - 16, at.y() - 8, 32, 16), Qt::AlignCenter, text);
        }
    }
    p.setPen(QColor(200, 200, 190));
    p.setFont(pack_font(d.r > 40 ? 10 : 8));
    p.drawText(QRectF(c.x() - d.r, c.y() + d.r * 0.28, 2 * d.r, 14), Qt::AlignCenter, QString::fromStdString(d.caption));
    p.setFont(pack_font(8));
    p.drawText(QRectF(c.x() - d.r, c.y() + d.r * 0.28 + 13, 2 * d.r, 12), Qt::AlignCenter,
               QString::fromStdString(d.r > 40 ? d.unit : d.unit + " x100"));
}

// The first "[Others]" slots key out the colour of a picture's lower-left pixel: a
// one-pixel frame of the key colour keeps the picture's own background.
QImage key_framed(const QImage& inner) {
    QImage framed(inner.width() + 2, inner.height() + 2, QImage::Format_RGB32);
    framed.fill(kKey);
    QPainter(&framed).drawImage(1, 1, inner);
    return framed;
}

QImage panel(const TrainSpec& t, bool dark) {
    QImage img(640, 200, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 200);
    g.setColorAt(0, rgb(t.body).lighter(125));
    g.setColorAt(0.1, rgb(t.body));
    g.setColorAt(1, rgb(t.body).darker(160));
    p.fillRect(img.rect(), g);
    // Brushed texture: faint horizontal lines.
    for (int y = 0; y < 200; y += 3) {
        p.setPen(QColor(255, 255, 255, 6 + (y * 7) % 9));
        p.drawLine(0, y, 640, y);
    }
    // Instrument board left of x 490, a plain desk on the right for the labels.
    p.setPen(QPen(QColor(0, 0, 0, 120), 2));
    p.setBrush(rgb(t.face));
    p.drawRoundedRect(QRectF(3, 2, 484, 194), 8, 8);
    p.setBrush(rgb(t.body).darker(115));
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.drawRoundedRect(QRectF(492, 2, 145, 104), 6, 6);
    // Notch indicator window and the clock bezel.
    p.setBrush(QColor(12, 12, 14));
    p.drawRoundedRect(QRectF(kNotchX - 3, kNotchPY - 240 - 3, kNotchW + 6, (kGearY - kNotchPY) + kNotchH + 6), 3, 3);
    QRadialGradient bezel(QPointF(kClockX, kClockY - 240), 25);
    bezel.setColorAt(0.8, QColor(235, 235, 228));
    bezel.setColorAt(0.9, QColor(150, 150, 150));
    bezel.setColorAt(1.0, QColor(60, 60, 60));
    p.setBrush(bezel);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(kClockX, kClockY - 240), 25, 25);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    for (int h = 0; h < 12; ++h) {
        const double a = h * 30 * kPi / 180;
        const QPointF c(kClockX, kClockY - 240);
        p.drawLine(c + QPointF(std::sin(a) * 18, -std::cos(a) * 18), c + QPointF(std::sin(a) * 22, -std::cos(a) * 22));
    }
    for (const Dial& d : t.dials) draw_dial(p, d, 240);
    // Unlit lamps under their lit pictures.
    for (const Lamp& l : t.lamps) {
        const bool small = l.y > 260;
        const QRectF r(l.x, l.y - 240, small ? 28 : kLampW, kLampH);
        p.setPen(QPen(QColor(0, 0, 0), 1));
        p.setBrush(rgb(l.colour).darker(420));
        p.drawRoundedRect(r, 3, 3);
        p.setPen(QColor(120, 120, 120));
        p.setFont(pack_font(10, true));
        p.drawText(r, Qt::AlignCenter, QString::fromStdString(l.text));
    }
    // The stop-alert lamp's unlit window (the program lights it), and labels on the desk.
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(70, 40, 20));
    p.drawRoundedRect(QRectF(258, 291 - 240, 35, 17), 3, 3);
    p.setPen(QColor(150, 110, 80));
    p.setFont(pack_font(8, true));
    p.drawText(QRectF(258, 291 - 240, 35, 17), Qt::AlignCenter, "停車");
    p.setPen(QColor(220, 220, 220));
    p.setFont(pack_font(9));
    if (dark) {
        // In tunnels the cab lights go dim; the instruments keep their own lamps.
        p.fillRect(img.rect(), QColor(0, 0, 10, 150));
        for (const Dial& d : t.dials) {
            QRadialGradient glow(QPointF(d.cx, d.cy - 240), d.r);
            glow.setColorAt(0, QColor(255, 230, 180, 60));
            glow.setColorAt(1, QColor(255, 230, 180, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(QPointF(d.cx, d.cy - 240), d.r, d.r);
        }
    }
    return img;
}

// A needle pointing up from the centre, on the transparent colour.
QImage needle(int size, QColor colour) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(kKey);
    QPainter p(&img);  // no antialiasing: blended edges would not be transparent
    const double c = size / 2.0, len = size * 0.44;
    QPolygonF shape;
    shape << QPointF(c - 2.5, c + size * 0.08) << QPointF(c - 1.5, c - len + 6) << QPointF(c, c - len)
          << QPointF(c + 1.5, c - len + 6) << QPointF(c + 2.5, c + size * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(shape);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(c, c), size * 0.06, size * 0.06);
    p.setBrush(QColor(180, 180, 180));
    p.drawEllipse(QPointF(c, c), size * 0.025, size * 0.025);
    return img;
}

QImage lamp(const Lamp& l) {
    const bool small = l.y > 260;
    QImage img(small ? 28 : kLampW, kLampH, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, kLampH);
    g.setColorAt(0, rgb(l.colour).lighter(140));
    g.setColorAt(1, rgb(l.colour));
    p.fillRect(img.rect(), QColor(0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, img.width() - 1, kLampH - 1), 3, 3);
    p.setPen(QColor(20, 10, 0));
    p.setFont(pack_font(10, true));
    p.drawText(img.rect(), Qt::AlignCenter, QString::fromStdString(l.text));
    return img;
}

// A bar of notch segments with the position's name.
QImage notch_picture(int lit, int count, const QString& label, QColor on, bool emergency, int width) {
    QImage img(width, kNotchH, QImage::Format_RGB32);
    img.fill(QColor(12, 12, 14));
    QPainter p(&img);
    const int label_w = 34;
    const double seg = count > 0 ? (width - label_w - 4.0) / count : 0;
    for (int i = 0; i < count; ++i) {
        const bool is_lit = i < lit;
        QColor c = is_lit ? (emergency && i == count - 1 ? QColor(255, 50, 40) : on) : on.darker(500);
        p.fillRect(QRectF(label_w + i * seg + 1, 3, seg - 2, kNotchH - 6), c);
    }
    p.setPen(lit > 0 ? on.lighter(130) : QColor(150, 150, 150));
    p.setFont(pack_font(11, true));
    p.drawText(QRect(0, 0, label_w, kNotchH), Qt::AlignCenter, label);
    return img;
}

QImage stop_marker(int cars) {
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(QColor(90, 110, 140));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 3));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(7, 4, 36, 32));
    p.setPen(Qt::black);
    p.setFont(pack_font(24, true));
    p.drawText(QRectF(7, 4, 36, 32), Qt::AlignCenter, QString::number(cars));
    p.fillRect(QRectF(23, 36, 4, 14), QColor(60, 60, 60));
    return img;
}

QImage signal_picture(int code) {
    // Lamps per display-code group, top to bottom, and which of them burn.
    struct Head {
        QColor colour;
        bool lit;
    };
    const QColor G(40, 230, 110), Y(255, 190, 30), R(255, 40, 30);
    std::vector<Head> heads;
    auto is = [&](std::initializer_list<int> codes) {
        for (int c : codes)
            if (c == code) return true;
        return false;
    };
    const bool stop = is({0, 3, 6, 9, 13, 17}), yy = is({14, 18}), y = is({4, 7, 10, 15, 19}), yg = is({11, 20}),
               g = is({2, 5, 8, 12, 16, 21});
    QImage img(50, 100, QImage::Format_RGB32);
    img.fill(QColor(96, 112, 128));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (code <= 2) {  // repeater: a row of white lamps, its angle the aspect
        p.setBrush(QColor(20, 20, 20));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(25, 45), 22, 22);
        const double a = code == 0 ? 90 : code == 1 ? 45 : 0;
        for (int i = -1; i <= 1; ++i) {
            const double r = i * 13, rad = a * kPi / 180;
            p.setBrush(QColor(250, 250, 230));
            p.drawEllipse(QPointF(25 + std::sin(rad) * r, 45 - std::cos(rad) * r), 5, 5);
        }
        p.fillRect(QRectF(23, 67, 4, 33), QColor(50, 50, 50));
        return img;
    }
    if (code <= 5) heads = {{G, g}, {Y, y}, {R, stop}};
    else if (code <= 8) heads = {{G, g}, {Y, y}, {R, stop}};
    else if (code <= 12) heads = {{Y, yg}, {G, g || yg}, {Y, y}, {R, stop}};
    else if (code <= 16) heads = {{Y, yy}, {G, g}, {Y, y || yy}, {R, stop}};
    else heads = {{Y, yy}, {G, g || yg}, {Y, yg}, {Y, y || yy}, {R, stop}};
    if (code <= 8 && code >= 3) heads[0].lit = g, heads[1].lit = y;
    const int n = static_cast<int>(heads.size());
    const double pitch = 17, top = 50 - n * pitch / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 18, 20));
    p.drawRoundedRect(QRectF(11, top - 4, 28, n * pitch + 8), 5, 5);
    for (int i = 0; i < n; ++i) {
        const QPointF c(25, top + pitch * (i + 0.5));
        if (heads[i].lit) {
            QRadialGradient glow(c, 11);
            glow.setColorAt(0, heads[i].colour.lighter(150));
            glow.setColorAt(0.5, heads[i].colour);
            glow.setColorAt(1, QColor(0, 0, 0, 0));
            p.setBrush(glow);
            p.drawEllipse(c, 11, 11);
        } else {
            p.setBrush(QColor(45, 45, 48));
            p.drawEllipse(c, 6, 6);
        }
    }
    p.fillRect(QRectF(23, top + n * pitch + 4, 4, 100), QColor(50, 50, 50));
    return img;
}

QImage board(int w, int h, QColor back, QColor ink, const QString& big, const QString& small) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(96, 112, 128));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(3, 3, w - 6, h - 6), 4, 4);
    p.setPen(ink);
    if (!small.isEmpty()) {
        p.setFont(pack_font(11, true));
        p.drawText(QRectF(4, 4, w * 0.35, h - 8), Qt::AlignCenter, small);
        p.setFont(pack_font(30, true));
        p.drawText(QRectF(w * 0.3, 2, w * 0.68, h - 4), Qt::AlignCenter, big);
    } else {
        p.setFont(pack_font(28, true));
        p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, big);
    }
    return img;
}

QImage slope_sign(bool up) {
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(QColor(96, 112, 128));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(23, 20, 4, 30), QColor(60, 60, 60));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(250, 250, 245));
    QPolygonF arm;
    if (up) arm << QPointF(4, 30) << QPointF(46, 6) << QPointF(46, 16) << QPointF(4, 40);
    else arm << QPointF(4, 6) << QPointF(46, 30) << QPointF(46, 40) << QPointF(4, 16);
    p.drawPolygon(arm);
    p.setFont(pack_font(9, true));
    p.drawText(QRectF(0, 40, 50, 10), Qt::AlignCenter, up ? "上り" : "下り");
    return img;
}

QImage time_check() {
    QImage img(100, 50, QImage::Format_RGB32);
    img.fill(QColor(30, 60, 140));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QPointF(24, 25), 18, 18);
    p.drawLine(QPointF(24, 25), QPointF(24, 12));
    p.drawLine(QPointF(24, 25), QPointF(34, 25));
    p.setPen(Qt::white);
    p.setFont(pack_font(13, true));
    p.drawText(QRectF(44, 4, 54, 42), Qt::AlignCenter, "時刻\n確認");
    return img;
}

QImage card(const PackRequests::Card& c) {
    const int rows = static_cast<int>(c.rows.size());
    const int h = std::max(300, 86 + rows * 40 + 60);
    QImage img(200, h, QImage::Format_RGB32);
    img.fill(QColor(246, 242, 228));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawRect(QRectF(4, 4, 192, h - 8));
    p.setFont(pack_font(15, true));
    p.setPen(Qt::black);
    p.drawText(QRectF(4, 8, 192, 24), Qt::AlignCenter, QString::fromStdString(c.title));
    p.setFont(pack_font(10));
    p.drawText(QRectF(4, 32, 192, 18), Qt::AlignCenter, "行路表  Vantrel");
    p.drawLine(8, 56, 192, 56);
    p.drawText(QRectF(10, 60, 90, 20), Qt::AlignLeft | Qt::AlignVCenter, "駅名");
    p.drawText(QRectF(100, 60, 90, 20), Qt::AlignLeft | Qt::AlignVCenter, "時刻");
    p.drawLine(8, 82, 192, 82);
    int y = 86;
    for (const auto& [name, when] : c.rows) {
        p.setFont(pack_font(14, true));
        p.drawText(QRectF(10, y, 90, 34), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(name));
        p.setFont(pack_font(12));
        p.drawText(QRectF(92, y, 100, 34), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(when));
        y += 40;
        p.setPen(QPen(QColor(170, 170, 160), 1));
        p.drawLine(8, y - 3, 192, y - 3);
        p.setPen(Qt::black);
    }
    p.setFont(pack_font(9));
    p.drawText(QRectF(8, h - 50, 184, 40), Qt::AlignLeft | Qt::TextWordWrap,
               "F1 行路表  F2/F3 送り\n停車駅では停止位置に停車");
    return img;
}

}  // namespace

QFont pack_font(int pixels, bool bold) {
    QFont f("Noto Sans CJK JP");
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool save_bmp(const QImage& image, const fs::path& file) {
    return save(image.convertToFormat(QImage::Format_RGB888), file, "BMP", -1);
}

bool save_jpg(const QImage& image, const fs::path& file) { return save(image, file, "JPG", 88); }

QImage write_cab_pictures(const TrainSpec& t, const fs::path& dir, std::string& failed) {
    const fs::path cab = dir / "Image" / "Cab" / t.id;
    const QImage main = panel(t, false);
    keep(save_bmp(main, cab / "panel.bmp"), cab / "panel.bmp", failed);
    keep(save_bmp(panel(t, true), cab / "panel_dark.bmp"), cab / "panel_dark.bmp", failed);
    for (const Lamp& l : t.lamps) {
        const fs::path f = cab / ("lamp_" + l.key.substr(6, l.key.size() - 7) + ".bmp");
        keep(save_bmp(lamp(l), f), f, failed);
    }
    const std::pair<const char*, QColor> needles[] = {{"white", QColor(245, 245, 240)},
                                                      {"red", QColor(235, 50, 40)},
                                                      {"black", QColor(250, 250, 250)}};
    for (const Gauge& g : t.gauges)
        for (const auto& [name, colour] : needles)
            if (g.needle.find(name) != std::string::npos) {
                const fs::path f = dir / "Image" / "Cab" / g.needle;
                keep(save_bmp(needle(2 * g.r, colour), f), f, failed);
            }
    for (int i = 0; i <= t.powers; ++i) {
        const fs::path f = cab / ("p" + std::to_string(i) + ".bmp");
        keep(save_bmp(notch_picture(i, t.powers, i == 0 ? "切" : "P" + QString::number(i), QColor(90, 230, 90), false,
                                    kNotchW),
                      f),
             f, failed);
    }
    const int brakes = t.brake_type == 0 ? 4 : t.brakes;
    const int pictures = brakes + 1 + t.hold;
    for (int i = 0; i < pictures; ++i) {
        const int n = t.hold ? std::max(0, i - 1) : i;  // picture 1 is the hold position
        QString label = n == 0 ? (t.hold && i == 1 ? "抑速" : "緩") : n == brakes ? "非常" : "B" + QString::number(n);
        if (t.brake_type == 0 && n > 0 && n < brakes) label = n == 1 ? "保ち" : n == 2 ? "重" : "常用";
        const fs::path f = cab / ("b" + std::to_string(i) + ".bmp");
        keep(save_bmp(notch_picture(n, brakes, label, QColor(250, 190, 40), true, kNotchW), f), f, failed);
    }
    if (t.engine_type == 0) {
        const char* names[] = {"", "変速", "直1", "直2", "直3", "直4"};
        for (size_t i = 0; i <= t.gears.size(); ++i) {
            const fs::path f = cab / ("gear" + std::to_string(i) + ".bmp");
            keep(save_bmp(notch_picture(i == 0 ? 0 : 1, 0, names[i], QColor(120, 200, 255), false, kGearW), f), f, failed);
        }
    }
    QImage plate(100, 16, QImage::Format_RGB32);
    plate.fill(QColor(20, 30, 60));
    {
        QPainter p(&plate);
        p.setPen(QColor(230, 220, 160));
        p.setFont(pack_font(11, true));
        p.drawText(plate.rect(), Qt::AlignCenter, QString::fromStdString(t.title.substr(0, t.title.find(' '))));
    }
    keep(save_bmp(key_framed(plate), cab / "plate.bmp"), cab / "plate.bmp", failed);
    QImage sticker(80, 16, QImage::Format_RGB32);
    sticker.fill(QColor(250, 220, 40));
    {
        QPainter p(&sticker);
        p.setPen(Qt::black);
        p.setFont(pack_font(10, true));
        p.drawText(sticker.rect(), Qt::AlignCenter, t.engine_type == 0 ? "燃料節約運転" : "喚呼確認");
    }
    keep(save_bmp(key_framed(sticker), cab / "sticker.bmp"), cab / "sticker.bmp", failed);
    keep(save_bmp(stop_marker(t.cars), cab / "stopmark.bmp"), cab / "stopmark.bmp", failed);
    return main;
}

void write_line_pictures(const PackRequests& req, const fs::path& dir, std::string& failed) {
    const fs::path line = dir / "Image" / "Line", sig = dir / "Image" / "Signal";
    for (int c = 0; c <= 21; ++c) {
        const fs::path f = sig / ("sig" + std::to_string(c) + ".bmp");
        keep(save_bmp(signal_picture(c), f), f, failed);
    }
    keep(save_bmp(slope_sign(true), line / "slope_up.bmp"), line / "slope_up.bmp", failed);
    keep(save_bmp(slope_sign(false), line / "slope_down.bmp"), line / "slope_down.bmp", failed);
    keep(save_bmp(time_check(), line / "timecheck.bmp"), line / "timecheck.bmp", failed);
    for (int lim : req.limits) {
        const fs::path f = line / ("limit" + std::to_string(lim) + ".bmp");
        keep(save_bmp(board(100, 50, QColor(250, 250, 245), Qt::black, QString::number(lim), "制限"), f), f, failed);
    }
    keep(save_bmp(board(100, 50, QColor(250, 250, 245), Qt::black, "笛", ""), line / "whistle.bmp"),
         line / "whistle.bmp", failed);
    for (const auto& c : req.cards) {
        std::string name = c.file;
        for (char& ch : name)
            if (ch == '\\') ch = '/';
        keep(save_bmp(card(c), dir / name), dir / name, failed);
    }
}

}  // namespace vantrel::demo
