#pragma once
// The picture controls of the driving window: plain and colour-keyed pictures, picture
// lists shown by index, the rotating needle, the analogue clock and the video surface.
#include <vector>

#include <QImage>
#include <QWidget>

namespace vantrel {

// The picture with every pixel of its lower-left pixel's colour made transparent.
[[nodiscard]] QImage colour_keyed(const QImage& picture);

// A picture at its own size; transparent ones leave the colour of their lower-left pixel unpainted.
class PictureWidget : public QWidget {
public:
    explicit PictureWidget(QWidget* parent);
    void set_image(const QImage& picture, bool transparent);
    void clear();  // shows nothing, keeps the size

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage shown_;
};

// One picture of a list at a time (notch, gear, signal, limit and sign pictures).
class PictureListWidget : public QWidget {
public:
    PictureListWidget(QWidget* parent, std::vector<QImage> pictures, bool transparent);
    void set_index(int index);  // out of range: nothing
    [[nodiscard]] int index() const { return index_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QImage> pictures_;
    int index_ = -1;
};

// A bitmap turned about the control's centre by an angle (tenths of a degree, clockwise on
// screen), scaled by a zoom, with the colour of its first stored pixel left unpainted.
class RotateImage : public QWidget {
public:
    RotateImage(QWidget* parent, const QImage& bitmap);
    // Whole degrees: reduced modulo 360 into tenths 0 .. 3599.
    void set_angle(int degrees);
    [[nodiscard]] int angle_tenths() const { return tenths_; }
    void set_zoom(int percent);  // clamped to 25 .. 400
    void set_transparent(bool on);
    // The turned picture as painted (transparent where nothing is drawn).
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
class ClockFace : public QWidget {
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
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent);
    // A film frame fills the surface; a still picture is drawn at its own size.
    void show_frame(const QImage& frame);
    void show_still(const QImage& still);
    [[nodiscard]] int presentations() const { return presentations_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool scaled_ = false;
    int presentations_ = 0;
};

}  // namespace vantrel
