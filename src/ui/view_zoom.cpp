#include "ui/view_zoom.hpp"

#include <algorithm>

#include <QPainter>
#include <QScreen>
#include <QSettings>

namespace vantrel {

namespace {

bool known_factor(double factor) {
    return std::any_of(kZoomChoices.begin(), kZoomChoices.end(), [factor](const ZoomChoice& c) { return c.factor == factor; });
}

}  // namespace

ViewZoom load_view_zoom() {
    const QSettings settings;
    ViewZoom zoom;
    zoom.factor = settings.value("view/zoom", 1.0).toDouble();
    if (!known_factor(zoom.factor)) zoom.factor = 1;  // a hand-edited setting
    zoom.full_screen = settings.value("view/full_screen", false).toBool();
    return zoom;
}

void save_view_zoom(const ViewZoom& zoom) {
    QSettings settings;
    settings.setValue("view/zoom", zoom.factor);
    settings.setValue("view/full_screen", zoom.full_screen);
}

double fit_factor(QSize layout, QSize room) {
    if (layout.isEmpty() || room.isEmpty()) return 1;
    const double f = std::min(static_cast<double>(room.width()) / layout.width(),
                              static_cast<double>(room.height()) / layout.height());
    return std::max(0.25, f);
}

double window_factor(const ViewZoom& zoom, QSize layout, QSize chrome, const QScreen* screen) {
    if (zoom.factor > 0) return zoom.factor;
    if (!screen) return 1;
    return fit_factor(layout, screen->availableGeometry().size() - chrome);
}

Letterbox::Letterbox(QWidget* parent) : QWidget(parent) {}

void Letterbox::paintEvent(QPaintEvent*) {
    // Painted rather than a palette colour, which the content would inherit.
    QPainter(this).fillRect(rect(), Qt::black);
}

void Letterbox::set_content(QWidget* content) {
    content_ = content;
    centre();
}

void Letterbox::centre() {
    if (!content_) return;
    content_->move(std::max(0, (width() - content_->width()) / 2), std::max(0, (height() - content_->height()) / 2));
}

void Letterbox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (on_resized_) on_resized_(size());
    centre();
}

}  // namespace vantrel
