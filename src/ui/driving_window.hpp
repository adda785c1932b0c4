#pragma once
// TForm1, the driving window: loads a run, shows its cab, forwards the player's inputs to
// the logic and advances the run by the wall clock. 640 x 440 client under its menu.
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>

#include "controllers/controller_state.hpp"
#include "ui/back_ends.hpp"
#include "ui/view_zoom.hpp"

class QMenu;

namespace vantrel {

struct Run;
class CabScreen;
class CabSpeech;
struct SpeechSetup;
class DriveSession;
class FramePresenter;
class HelpWindow;
class Letterbox;
class QtPictureLoader;
class SerialPort;
class ValueDisplay;

struct DriveRequest {
    std::filesystem::path data_dir = ".";
    std::string train, route;
    std::string strings = "vantrel.dat";
    std::string record, trace, timing_log;  // output files, empty: none
    std::string events, view;               // the runner's sound events and cab view, likewise
};

struct DriveHooks {
    std::function<void(const QString&)> status;        // the title window's status line
    std::function<void(const QString&)> report_error;  // the application's error box
    std::function<void(const QString&)> inform;        // a modal note (none: a message box)
    ValueDisplay* value_display = nullptr;
    HelpWindow* help = nullptr;
    // The joystick's type, last state and calibration outlive a driving window: the program
    // owns them (nullptr: this window keeps its own).
    JoystickControl* joystick_control = nullptr;
    const SpeechSetup* speech = nullptr;  // the program's (nullptr: speech from the settings only)
    // Asked while the film's index is built: true gives up opening the window (no error).
    std::function<bool()> cancel_requested;
};

// The text shown for a loading failure.
[[nodiscard]] QString load_error_text(const struct DataError& error);

class DrivingWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Loads everything in the start-up order; on failure reports the error and returns nullptr.
    static std::unique_ptr<DrivingWindow> open(const DriveRequest& request, DriveHooks hooks, BackEnds back_ends);
    ~DrivingWindow() override;

    [[nodiscard]] Run& run() { return *run_; }
    [[nodiscard]] DriveSession& session() { return *session_; }
    [[nodiscard]] CabScreen& screen() { return *screen_; }
    [[nodiscard]] QMenu* move_menu() const { return move_menu_; }
    [[nodiscard]] CabSpeech& speech() { return *speech_; }
    [[nodiscard]] SerialPort& serial_port() { return *serial_; }
    // A menu item by its component name (start1, menu_d2, COM21, ...).
    [[nodiscard]] QAction* item(const QString& name) const;
    // A key press or wheel turn of any window, handed to the logic.
    void route_input(QEvent* event);
    // Redraw (menu_d2): the wanted frame as soon as the film has it.
    void redraw();
    // The 表示 menu's zoom (a factor of kZoomChoices, 0: fit to the screen) and full screen.
    void set_zoom(double factor);
    void set_full_screen(bool on);
    [[nodiscard]] const ViewZoom& zoom() const { return zoom_; }
    // Pictures of the film drawn so far.
    [[nodiscard]] int frames_drawn() const;
    // The film's frame on show (-1 before the first).
    [[nodiscard]] int32_t presented_frame() const;

Q_SIGNALS:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DrivingWindow(DriveHooks hooks, BackEnds back_ends);
    bool load(const DriveRequest& request);
    void build_menu();
    void build_view_menu(QMenu* show);
    void after_event();
    void apply_zoom();
    void show_still();
    void set_controller(int type);
    void serial_settings();
    void serial_connect();
    void inform(const QString& text);  // a modal note: the hook's, or a message box

    DriveHooks hooks_;
    CabSpeech* speech_ = nullptr;  // a child of the window
    BackEnds back_;
    std::unique_ptr<Run> run_;
    std::unique_ptr<SoundChannels> clocked_sound_;  // deterministic sound status for recorded drives
    std::unique_ptr<QtPictureLoader> pictures_;
    std::unique_ptr<CabScreen> screen_;
    std::unique_ptr<DriveSession> session_;
    std::unique_ptr<FramePresenter> presenter_;
    std::unique_ptr<SerialPort> serial_;
    JoystickControl own_control_;
    JoystickControl* control_ = &own_control_;
    std::ofstream record_, trace_, timing_, events_, view_;
    QWidget* client_ = nullptr;
    Letterbox* canvas_ = nullptr;
    QMenu* move_menu_ = nullptr;
    QAction* start1_ = nullptr;
    ViewZoom zoom_;
    int wheel_remainder_ = 0;
    bool closing_ = false;
    bool film_cancelled_ = false;  // the player gave up while the film's index was built
    bool centred_ = false;
    // The value display as F5 last left it; the display's own close button hides it too.
    bool value_display_shown_ = false;
};

}  // namespace vantrel
