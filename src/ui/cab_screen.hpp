#pragma once
// The driving window's client area: the video surface, the right-hand column, the train's
// panel in its creation order and the handle labels, mirroring the cab view widget by
// widget (only what changed is touched).
#include <array>
#include <vector>

#include <QLabel>
#include <QWidget>

#include "cab/cab_view.hpp"
#include "ui/cab_widgets.hpp"

namespace vantrel {

struct Run;
class QtPictureLoader;

class CabScreen {
public:
    static constexpr int kLayoutWidth = 640, kLayoutHeight = 440;

    // Builds every control as a child of `client` (640 x 440 at zoom 1).
    CabScreen(QWidget* client, const Run& run, const QtPictureLoader& pictures);

    // Draws the layout at `factor` times its size: every control keeps its layout place.
    void set_scale(double factor);
    [[nodiscard]] double scale() const { return scale_; }
    // A point of the client in layout coordinates, whatever the zoom.
    [[nodiscard]] QPointF to_layout(QPoint client_pixels) const { return CabScale{scale_}.to_layout(client_pixels); }

    // Brings the controls in line with `view`; the first call sets everything.
    void mirror(const CabView& view);

    [[nodiscard]] VideoSurface* unten() const { return unten_; }
    [[nodiscard]] QWidget* back() const { return back_; }
    // Needles in the order Speed, I, V, BC, ER, BP, MR, SAP; null when dropped.
    [[nodiscard]] const std::array<RotateImage*, 8>& needles() const { return needles_; }
    [[nodiscard]] QLabel* label(const char* name) const;
    [[nodiscard]] QWidget* lamp(const char* name) const;

private:
    QLabel* make_label(const char* name, int x, int y, int w, int h, Qt::Alignment align, int point_size);
    PictureListWidget* make_list(const char* name, const std::vector<QImage>& pictures, int x, int y, bool transparent);
    PictureWidget* make_picture(const char* name, const QImage& picture, int x, int y, bool transparent, bool visible);
    void build_panel(const Run& run, const QtPictureLoader& pictures);

    QWidget* client_;
    VideoSurface* unten_ = nullptr;
    PictureListWidget *SignalImage_ = nullptr, *SpeedLimitImage_ = nullptr, *OtherImage_ = nullptr,
                      *SlopeImage_ = nullptr, *stop_ = nullptr;
    PictureWidget* stopline_ = nullptr;
    QLabel *SignalLabel_ = nullptr, *SlopeText_ = nullptr, *Label4_ = nullptr, *Label3_ = nullptr,
           *digi_speed_ = nullptr, *CarsLabel_ = nullptr, *Label1_ = nullptr, *PowerLabel_ = nullptr,
           *BrakeLabel_ = nullptr, *GearLabel_ = nullptr, *caption_strip_ = nullptr;
    PictureWidget *Panel2_ = nullptr, *card_ = nullptr, *Lamp_stopalert_ = nullptr;
    ClockFace* clock_ = nullptr;
    // Lamps in the order of CabView's flags: Door, Power, Gen, EB, Air, Ele, Ats, Atsp1, Atsp2,
    // G, YG, Y, YY, R, Fwd, Bck.
    std::array<PictureWidget*, 16> lamps_{};
    PictureListWidget *Lamp_P_ = nullptr, *Lamp_B_ = nullptr, *Lamp_Gear_ = nullptr;
    std::array<RotateImage*, 8> needles_{};
    std::vector<PictureWidget*> others_;
    QWidget* back_ = nullptr;
    CabView shown_;
    double scale_ = 1;
    bool first_ = true;
};

}  // namespace vantrel
