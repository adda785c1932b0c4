#include "ui/view_zoom.hpp"

#include <algorithm>
#include <cmath>

#include <QGuiApplication>
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

bool factor_fits(double factor, QSize layout, QSize chrome, QSize room) {
    if (room.isEmpty()) return true;  // nothing known of the screen: every factor is offered
    return std::ceil(layout.width() * factor) + chrome.width() <= room.width() &&
           std::ceil(layout.height() * factor) + chrome.height() <= room.height();
}

QSize available_room(const QScreen* screen) {
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

double window_factor(const ViewZoom& zoom, QSize layout, QSize chrome, const QScreen* screen) {
    const QSize room = available_room(screen);
    if (zoom.factor <= 0) return room.isEmpty() ? 1 : fit_factor(layout, room - chrome);
    if (factor_fits(zoom.factor, layout, chrome, room)) return zoom.factor;
    double best = 1;
    for (const ZoomChoice& c : kZoomChoices)
        if (c.factor > best && c.factor < zoom.factor && factor_fits(c.factor, layout, chrome, room)) best = c.factor;
    return best;
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
