#pragma once
// The picture controls of the driving window: plain and colour-keyed pictures, picture
// lists shown by index, the rotating needle, the analogue clock and the video surface.
// Each is placed in layout coordinates and drawn at the window's zoom.
#include <vector>

#include <QImage>
#include <QLabel>
#include <QWidget>

namespace vantrel {

// The picture with every pixel of its lower-left pixel's colour made transparent.
[[nodiscard]] QImage colour_keyed(const QImage& picture);

// Layout coordinates to widget pixels: one factor, rounded by edges so that neighbours
// stay neighbours at every zoom.
struct CabScale {
    double factor = 1;
    [[nodiscard]] int map(int v) const;
    [[nodiscard]] QPoint map(QPoint p) const { return {map(p.x()), map(p.y())}; }
    [[nodiscard]] QRect map(const QRect& r) const;
    [[nodiscard]] QPointF to_layout(QPointF pixels) const { return pixels / factor; }
};

// A control with a place in layout coordinates, kept at the zoom's pixels.
class CabControl : public QWidget {
public:
    explicit CabControl(QWidget* parent);
    void place(QPoint layout_pos);
    void place(const QRect& layout_rect);
    void set_layout_size(QSize size);
    [[nodiscard]] const QRect& layout_rect() const { return layout_; }
    [[nodiscard]] double scale() const { return scale_.factor; }
    void set_scale(double factor);

protected:
    // The picture drawn over the whole control, smoothly rescaled once per size change.
    void draw_scaled(QPainter& p, const QImage& picture, QImage& cache);

private:
    QRect layout_;
    CabScale scale_;
};

// A text label of the form placed the same way; its font follows the zoom.
class CabLabel : public QLabel {
public:
    CabLabel(QWidget* parent, const QRect& layout_rect, double point_size);
    [[nodiscard]] const QRect& layout_rect() const { return layout_; }
    void set_scale(double factor);

private:
    QRect layout_;
    double point_size_;
};

// A picture at its own size; transparent ones leave the colour of their lower-left pixel unpainted.
class PictureWidget : public CabControl {
public:
    explicit PictureWidget(QWidget* parent);
    void set_image(const QImage& picture, bool transparent);
    void clear();  // shows nothing, keeps the size

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage shown_;
    QImage scaled_;
};

// One picture of a list at a time (notch, gear, signal, limit and sign pictures).
class PictureListWidget : public CabControl {
public:
    PictureListWidget(QWidget* parent, std::vector<QImage> pictures, bool transparent);
    void set_index(int index);  // out of range: nothing
    [[nodiscard]] int index() const { return index_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QImage> pictures_;
    QImage scaled_;  // the shown picture at the control's pixels
    int scaled_index_ = -1;
    int index_ = -1;
};

// A bitmap turned about the control's centre by an angle (tenths of a degree, clockwise on
// screen), scaled by a zoom, with the colour of its first stored pixel left unpainted.
class RotateImage : public CabControl {
public:
    RotateImage(QWidget* parent, const QImage& bitmap);
    // Whole degrees: reduced modulo 360 into tenths 0 .. 3599.
    void set_angle(int degrees);
    [[nodiscard]] int angle_tenths() const { return tenths_; }
    void set_zoom(int percent);  // clamped to 25 .. 400
    void set_transparent(bool on);
    // The turned picture at the layout size (transparent where nothing is drawn).
    [[nodiscard]] const QImage& rendered() const { return rendered_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();

    QImage bitmap_;
    QImage rendered_;
    int tenths_ = 0;
    int zoom_ = 100;
    bool transparent_ = true;
};

// The 50 x 50 analogue clock: three black hands from (25, 25); empty until first drawn.
class ClockFace : public CabControl {
public:
    explicit ClockFace(QWidget* parent);
    void set_hands(int hour_x, int hour_y, int minute_x, int minute_y, int second_x, int second_y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool drawn_ = false;
    int hands_[6] = {25, 25, 25, 25, 25, 25};
};

// `unten`: the 480 x 240 video surface, black behind the picture.
class VideoSurface : public CabControl {
public:
    explicit VideoSurface(QWidget* parent);
    // A film frame fills the surface (it comes at pixel_size(): drawn as it is); a still
    // picture is drawn at its own layout size.
    void show_frame(const QImage& frame);
    void show_still(const QImage& still);
    [[nodiscard]] int presentations() const { return presentations_; }
    // The surface in device pixels: the size film pictures are wanted at.
    [[nodiscard]] QSize pixel_size() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QImage still_scaled_;
    bool still_ = false;
    int presentations_ = 0;
};

}  // namespace vantrel
