// vantrel-title-art: draws the title window's buttons, badges and loading sign and the
// program icon as PNG files (committed under src/ui/art, compiled in as Qt resources).
#include <cstdio>
#include <string>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QFont font(int pixels, bool bold) {
    QFont f("Noto Sans CJK JP");
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QImage plate(int w, int h, QColor top, QColor bottom, int radius) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
    p.fillPath(path, g);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawPath(path);
    return img;
}

QImage train_button(const QString& series, const QString& service, QColor colour) {
    QImage img = plate(163, 50, colour.lighter(135), colour.darker(140), 8);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // A stylised cab front on the left.
    p.setBrush(QColor(245, 245, 245));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawRoundedRect(QRectF(8, 8, 30, 34), 6, 6);
    p.setBrush(QColor(60, 90, 130));
    p.drawRect(QRectF(12, 13, 22, 11));
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(QPointF(15, 34), 2.5, 2.5);
    p.drawEllipse(QPointF(31, 34), 2.5, 2.5);
    p.setPen(Qt::white);
    p.setFont(font(19, true));
    p.drawText(QRect(44, 3, 115, 26), Qt::AlignLeft | Qt::AlignVCenter, series);
    p.setFont(font(13, false));
    p.drawText(QRect(44, 27, 115, 20), Qt::AlignLeft | Qt::AlignVCenter, service);
    return img;
}

QImage badge(int w, const QString& text, QColor colour) {
    QImage img = plate(w, 50, colour.lighter(140), colour.darker(130), 10);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);
    p.setFont(font(15, true));
    p.drawText(QRect(0, 4, w, 26), Qt::AlignCenter, text);
    p.setFont(font(10, false));
    p.drawText(QRect(0, 28, w, 18), Qt::AlignCenter, QString::fromUtf8("Shift"));
    return img;
}

QImage small_button(const QString& text, QColor colour) {
    QImage img = plate(50, 19, colour.lighter(130), colour.darker(130), 4);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);
    p.setFont(font(11, true));
    p.drawText(img.rect(), Qt::AlignCenter, text);
    return img;
}

QImage loading_sign() {
    QImage img = plate(100, 20, QColor(40, 40, 40), QColor(10, 10, 10), 4);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(255, 220, 90));
    p.setFont(font(12, true));
    p.drawText(img.rect(), Qt::AlignCenter, QString::fromUtf8("Loading..."));
    return img;
}

QImage icon() {
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(40, 120, 200));
    p.drawRoundedRect(QRectF(10, 4, 44, 50), 12, 12);
    p.setBrush(QColor(200, 230, 250));
    p.drawRoundedRect(QRectF(16, 10, 32, 18), 4, 4);
    p.setBrush(QColor(255, 225, 100));
    p.drawEllipse(QPointF(20, 44), 4, 4);
    p.drawEllipse(QPointF(44, 44), 4, 4);
    p.setPen(QPen(QColor(60, 60, 60), 3));
    p.drawLine(14, 60, 50, 60);
    p.drawLine(18, 54, 14, 60);
    p.drawLine(46, 54, 50, 60);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-title-art OUTPUT_DIR\n");
        return 64;
    }
    QGuiApplication app(argc, argv);
    const std::string dir = argv[1];
    bool ok = true;
    auto save = [&](const QImage& img, const char* name) { ok = img.save(QString::fromStdString(dir + "/" + name)) && ok; };
    save(train_button(QString::fromUtf8("785系"), QString::fromUtf8("特急 スーパー"), QColor(200, 40, 50)), "train1.png");
    save(train_button(QString::fromUtf8("731系"), QString::fromUtf8("普通 各駅停車"), QColor(40, 140, 70)), "train2.png");
    save(train_button(QString::fromUtf8("キハ40"), QString::fromUtf8("普通 気動車"), QColor(200, 120, 30)), "train3.png");
    save(train_button(QString::fromUtf8("721系"), QString::fromUtf8("快速 エアポート"), QColor(40, 90, 170)), "train4.png");
    save(badge(46, QString::fromUtf8("721"), QColor(40, 90, 170)), "badge_a.png");
    save(badge(52, QString::fromUtf8("711"), QColor(90, 110, 120)), "badge_b.png");
    save(badge(47, QString::fromUtf8("731"), QColor(40, 140, 70)), "badge_c.png");
    save(small_button("HELP", QColor(70, 110, 160)), "help.png");
    save(small_button("QUIT", QColor(150, 60, 60)), "quit.png");
    save(loading_sign(), "loading.png");
    save(icon(), "vantrel.png");
    return ok ? 0 : 1;
}
