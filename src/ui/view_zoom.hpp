#pragma once
// The zoom the player chose in the 表示 menu (a factor, fit to the screen, full screen),
// remembered between runs, and the letterbox that centres the drawn layout in its room.
#include <array>
#include <functional>

#include <QSize>
#include <QWidget>

class QScreen;

namespace vantrel {

struct ViewZoom {
    double factor = 1;  // the chosen factor; 0: as large as the screen allows
    bool full_screen = false;
};

struct ZoomChoice {
    double factor;        // 0: fit to the screen
    const char* caption;  // translated in the driving window's context
};
inline constexpr std::array<ZoomChoice, 5> kZoomChoices{{{1, QT_TRANSLATE_NOOP("vantrel::DrivingWindow", "等倍")},
                                                         {1.5, QT_TRANSLATE_NOOP("vantrel::DrivingWindow", "1.5倍")},
                                                         {2, QT_TRANSLATE_NOOP("vantrel::DrivingWindow", "2倍")},
                                                         {3, QT_TRANSLATE_NOOP("vantrel::DrivingWindow", "3倍")},
                                                         {0, QT_TRANSLATE_NOOP("vantrel::DrivingWindow", "画面に合わせる")}}};

[[nodiscard]] ViewZoom load_view_zoom();
void save_view_zoom(const ViewZoom& zoom);

// The largest factor at which `layout` fits into `room` (never below a quarter).
[[nodiscard]] double fit_factor(QSize layout, QSize room);
// Whether `layout` drawn at `factor`, with `chrome` around it, fits into `room`.
[[nodiscard]] bool factor_fits(double factor, QSize layout, QSize chrome, QSize room);
// The screen's available area (the primary screen's without one; empty without any).
[[nodiscard]] QSize available_room(const QScreen* screen);
// The factor `zoom` gives a window whose drawn layout is `layout` and whose menu and frame
// take `chrome` on `screen` (full screen is the caller's: it knows its room). A chosen factor
// that does not fit the screen gives way to the largest of kZoomChoices that does (1 at least),
// so a window is never larger than its screen; the choice itself stays remembered.
[[nodiscard]] double window_factor(const ViewZoom& zoom, QSize layout, QSize chrome, const QScreen* screen);

// A black ground with one child centred in it: the letterbox of fit and full screen.
class Letterbox final : public QWidget {
public:
    explicit Letterbox(QWidget* parent);
    void set_content(QWidget* content);
    // Called with the new size after every resize (full screen takes its factor from it).
    void set_on_resized(std::function<void(QSize)> f) { on_resized_ = std::move(f); }
    void centre();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* content_ = nullptr;
    std::function<void(QSize)> on_resized_;
};

}  // namespace vantrel
