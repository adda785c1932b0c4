#include "ui/cab_widgets.hpp"

#include <algorithm>
#include <cmath>

#include <QPainter>

namespace vantrel {

QImage colour_keyed(const QImage& picture) {
    if (picture.isNull()) return picture;
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, out.height() - 1) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] | 0xFF000000u) == key) row[x] = 0;
    }
    return out;
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureWidget::set_image(const QImage& picture, bool transparent) {
    shown_ = transparent ? colour_keyed(picture) : picture;
    if (!shown_.isNull()) resize(shown_.size());
    update();
}

void PictureWidget::clear() {
    shown_ = QImage();
    update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
    if (shown_.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, shown_);
}

PictureListWidget::PictureListWidget(QWidget* parent, std::vector<QImage> pictures, bool transparent)
    : QWidget(parent), pictures_(std::move(pictures)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (transparent)
        for (QImage& p : pictures_) p = colour_keyed(p);
}

void PictureListWidget::set_index(int index) {
    if (index == index_) return;
    index_ = index;
    update();
}

void PictureListWidget::paintEvent(QPaintEvent*) {
    if (index_ < 0 || index_ >= static_cast<int>(pictures_.size())) return;
    QPainter p(this);
    p.drawImage(0, 0, pictures_[static_cast<size_t>(index_)]);
}

RotateImage::RotateImage(QWidget* parent, const QImage& bitmap)
    : QWidget(parent), bitmap_(bitmap.convertToFormat(QImage::Format_ARGB32)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RotateImage::set_angle(int degrees) {
    int tenths = ((degrees % 360) * 10) % 3600;
    if (tenths < 0) tenths += 3600;
    if (tenths == tenths_ && !rendered_.isNull()) return;
    tenths_ = tenths;
    render();
    update();
}

void RotateImage::set_zoom(int percent) {
    zoom_ = std::clamp(percent, 25, 400);
    render();
    update();
}

void RotateImage::set_transparent(bool on) {
    transparent_ = on;
    render();
    update();
}

void RotateImage::resizeEvent(QResizeEvent*) { render(); }

void RotateImage::render() {
    const int w = width(), h = height();
    rendered_ = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32);
    rendered_.fill(0);
    if (bitmap_.isNull() || w <= 0 || h <= 0) return;
    const int bw = bitmap_.width(), bh = bitmap_.height();
    const double radians = tenths_ * M_PI / 1800.0;
    const double zoom = zoom_ / 100.0;
    const double c = std::cos(radians) / zoom, s = std::sin(radians) / zoom;
    const QRgb key = bitmap_.pixel(0, bh - 1) | 0xFF000000u;
    // Rows counted upwards, pixel centres at +0.5: the turned bitmap is centred in the control.
    const double dcx = w / 2.0, dcy = h / 2.0, scx = bw / 2.0, scy = bh / 2.0;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(rendered_.scanLine(y));
        const double dy = (h - 1 - y) + 0.5 - dcy;
        for (int x = 0; x < w; ++x) {
            const double dx = x + 0.5 - dcx;
            const double sx = scx + c * dx - s * dy;
            const double sy = scy + s * dx + c * dy;
            const int ix = static_cast<int>(std::floor(sx));
            const int iy = static_cast<int>(std::floor(sy));
            if (ix < 0 || iy < 0 || ix >= bw || iy >= bh) continue;
            const QRgb pixel = bitmap_.pixel(ix, bh - 1 - iy);
            if (transparent_ && (pixel | 0xFF000000u) == key) continue;
            row[x] = pixel | 0xFF000000u;
        }
    }
}

void RotateImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, rendered_);
}

ClockFace::ClockFace(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(50, 50);
}

void ClockFace::set_hands(int hour_x, int hour_y, int minute_x, int minute_y, int second_x, int second_y) {
    const int hands[6] = {hour_x, hour_y, minute_x, minute_y, second_x, second_y};
    if (drawn_ && std::equal(hands, hands + 6, hands_)) return;
    std::copy(hands, hands + 6, hands_);
    drawn_ = true;
    update();
}

void ClockFace::paintEvent(QPaintEvent*) {
    if (!drawn_) return;
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i < 6; i += 2) p.drawLine(25, 25, hands_[i], hands_[i + 1]);
}

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(480, 240);
}

void VideoSurface::show_frame(const QImage& frame) {
    picture_ = frame;
    scaled_ = true;
    ++presentations_;
    update();
}

void VideoSurface::show_still(const QImage& still) {
    picture_ = still;
    scaled_ = false;
    ++presentations_;
    update();
}

void VideoSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (picture_.isNull()) return;
    if (scaled_ && picture_.size() != size()) {
        p.drawImage(rect(), picture_);
    } else {
        p.drawImage(0, 0, picture_);
    }
}

}  // namespace vantrel
