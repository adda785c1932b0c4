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

int CabScale::map(int v) const { return static_cast<int>(std::lround(v * factor)); }

QRect CabScale::map(const QRect& r) const {
    const int left = map(r.x()), top = map(r.y());
    return {left, top, map(r.x() + r.width()) - left, map(r.y() + r.height()) - top};
}

CabControl::CabControl(QWidget* parent) : QWidget(parent) {}

void CabControl::place(QPoint layout_pos) { place(QRect(layout_pos, layout_.size())); }

void CabControl::place(const QRect& layout_rect) {
    layout_ = layout_rect;
    setGeometry(scale_.map(layout_));
}

void CabControl::set_layout_size(QSize size) { place(QRect(layout_.topLeft(), size)); }

void CabControl::set_scale(double factor) {
    scale_.factor = factor;
    setGeometry(scale_.map(layout_));
    update();
}

void CabControl::draw_scaled(QPainter& p, const QImage& picture, QImage& cache) {
    if (picture.isNull()) return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (pixels == picture.size() && ratio == 1) {
        p.drawImage(0, 0, picture);
        return;
    }
    if (cache.size() != pixels || cache.devicePixelRatio() != ratio) {
        cache = picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        cache.setDevicePixelRatio(ratio);
    }
    p.drawImage(0, 0, cache);
}

CabLabel::CabLabel(QWidget* parent, const QRect& layout_rect, double point_size)
    : QLabel(parent), layout_(layout_rect), point_size_(point_size) {
    set_scale(1);
}

void CabLabel::set_scale(double factor) {
    setGeometry(CabScale{factor}.map(layout_));
    QFont f = font();
    f.setPointSizeF(point_size_ * factor);
    setFont(f);
}

PictureWidget::PictureWidget(QWidget* parent) : CabControl(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureWidget::set_image(const QImage& picture, bool transparent) {
    shown_ = transparent ? colour_keyed(picture) : picture;
    scaled_ = QImage();
    if (!shown_.isNull()) set_layout_size(shown_.size());
    update();
}

void PictureWidget::clear() {
    shown_ = QImage();
    scaled_ = QImage();
    update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
    if (shown_.isNull()) return;
    QPainter p(this);
    draw_scaled(p, shown_, scaled_);
}

PictureListWidget::PictureListWidget(QWidget* parent, std::vector<QImage> pictures, bool transparent)
    : CabControl(parent), pictures_(std::move(pictures)) {
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
    const QImage& picture = pictures_[static_cast<size_t>(index_)];
    if (picture.isNull()) return;
    QPainter p(this);
    if (scale() == 1 && devicePixelRatioF() == 1) {
        p.drawImage(0, 0, picture);  // at its own size, as the list holds it
        return;
    }
    // The picture keeps its own size in layout units, scaled with the control.
    if (scaled_index_ != index_) {
        scaled_ = QImage();
        scaled_index_ = index_;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(picture.size()) * scale() * ratio).toSize();
    if (scaled_.size() != pixels || scaled_.devicePixelRatio() != ratio) {
        scaled_ = picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled_.setDevicePixelRatio(ratio);
    }
    p.drawImage(0, 0, scaled_);
}

RotateImage::RotateImage(QWidget* parent, const QImage& bitmap)
    : CabControl(parent), bitmap_(bitmap.convertToFormat(QImage::Format_ARGB32)) {
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
    // Turned at the layout size (the needle's own pixels), then drawn scaled.
    const int w = static_cast<int>(std::lround(width() / scale()));
    const int h = static_cast<int>(std::lround(height() / scale()));
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
    if (scale() == 1 && devicePixelRatioF() == 1) {
        p.drawImage(0, 0, rendered_);
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(rect()), rendered_);
}

ClockFace::ClockFace(QWidget* parent) : CabControl(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place(QRect(0, 0, 50, 50));
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
    if (scale() != 1 || devicePixelRatioF() != 1) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale(), scale());
    }
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i < 6; i += 2) p.drawLine(25, 25, hands_[i], hands_[i + 1]);
}

VideoSurface::VideoSurface(QWidget* parent) : CabControl(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    place(QRect(0, 0, 480, 240));
}

QSize VideoSurface::pixel_size() const { return (QSizeF(size()) * devicePixelRatioF()).toSize(); }

void VideoSurface::show_frame(const QImage& frame) {
    picture_ = frame;
    still_ = false;
    ++presentations_;
    update();
}

void VideoSurface::show_still(const QImage& still) {
    picture_ = still;
    still_scaled_ = QImage();
    still_ = true;
    ++presentations_;
    update();
}

void VideoSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    if (still_) {
        p.fillRect(rect(), Qt::black);
        if (scale() == 1) {
            p.drawImage(0, 0, picture_);
            return;
        }
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (QSizeF(picture_.size()) * scale() * ratio).toSize();
        if (still_scaled_.size() != pixels || still_scaled_.devicePixelRatio() != ratio) {
            still_scaled_ = picture_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            still_scaled_.setDevicePixelRatio(ratio);
        }
        p.drawImage(0, 0, still_scaled_);
        return;
    }
    // A film picture fills the surface; it comes at the surface's pixels, so this is a copy,
    // not a scaling (but for the moment after a zoom change, before the feed follows).
    if (picture_.size() == size() && devicePixelRatioF() == 1) {
        p.drawImage(0, 0, picture_);
    } else {
        p.drawImage(QRectF(rect()), picture_);
    }
}

}  // namespace vantrel
