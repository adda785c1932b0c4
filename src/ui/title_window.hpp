#pragma once
// TForm5, the title window: the opening movie in a small window, then the title picture
// with one button per train. Choosing a train opens the driving window; when that closes,
// the title returns.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "platform/film_feed.hpp"
#include "platform/film_opener.hpp"
#include "sound/sound_channels.hpp"
#include "ui/driving_window.hpp"

namespace vantrel {

class HelpWindow;
class MovieSound;
class ValueDisplay;
class VideoSurface;

struct TitleSetup {
    std::filesystem::path data_dir = ".";
    std::filesystem::path program_dir = ".";  // where the opening movie is looked for first
    std::function<void(const QString&)> report_error;
    ValueDisplay* value_display = nullptr;
    HelpWindow* help = nullptr;
    std::function<BackEnds()> make_back_ends;
    JoystickControl* joystick_control = nullptr;  // the program's, handed to every driving window
    std::function<void()> switch_data_set;        // set: a button lets the player choose another set
    const SpeechSetup* speech = nullptr;          // likewise
};

class TitleWindow final : public QWidget {
    Q_OBJECT
public:
    // Nullptr (after reporting it) when a title picture cannot be loaded.
    static std::unique_ptr<TitleWindow> create(TitleSetup setup);
    ~TitleWindow() override;

    // aviclick: ends the movie phase.
    void end_movie();
    // Timer1Timer: one 100 ms tick of the movie phase and of the buttons' appearance.
    void timer_tick();
    // TrainClick on a train button (0 .. 3) or a badge (4 .. 6: the alternate train of the
    // button 1 .. 3 it stands on).
    void choose(int button);
    // Opens a driving window on any train and route of the data folder.
    void open_files(const std::string& train, const std::string& route);
    [[nodiscard]] DrivingWindow* driving_window() const { return driving_.get(); }
    [[nodiscard]] QLabel* status_line() const { return Label1_; }
    [[nodiscard]] const std::string& train_file() const { return train_; }
    [[nodiscard]] const std::string& route_file() const { return route_; }
    [[nodiscard]] bool movie_visible() const;
    // The zoom the driving window's 表示 menu chose (full screen is the driving window's only).
    [[nodiscard]] double scale() const { return scale_; }

Q_SIGNALS:
    void driving_window_opened();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit TitleWindow(TitleSetup setup);
    bool load_title_picture();
    void start_movie();
    void play_movie();
    void movie_frame();
    void set_badges(bool shown);
    void set_client_height(int height);
    void place(QWidget* w, const QRect& layout_rect);
    void apply_scale();
    void open_driving_window();
    void driving_window_closed();
    void pick_files();

    TitleSetup setup_;
    QLabel* Image1_ = nullptr;
    VideoSurface* DXDraw1_ = nullptr;
    QLabel* loading_ = nullptr;
    QLabel* Label1_ = nullptr;
    std::array<QPushButton*, 4> trains_{};  // Train1, Train2, Train3, train4
    std::array<QPushButton*, 3> badges_{};  // TrainA, TrainB, TrainC
    QPushButton* HELP_ = nullptr;
    QPushButton* Quit_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* switch_ = nullptr;  // only with a data set the program found itself
    QPushButton* cancel_ = nullptr;  // gives up a driving window whose film is being indexed
    QLabel* movie_status_ = nullptr;  // the opening movie's index progress
    QTimer Timer1_;
    QTimer movie_timer_;
    QElapsedTimer movie_clock_;
    std::filesystem::path movie_file_;
    std::unique_ptr<FilmOpener> movie_opener_;  // while the movie's index is built
    std::unique_ptr<FilmFeed> movie_;
    std::unique_ptr<MovieSound> movie_sound_;
    double movie_rate_ = 0;
    int32_t movie_shown_ = -1;
    int32_t movie_asked_ = -1;
    std::vector<std::pair<QWidget*, QRect>> places_;  // every control's layout rectangle
    QPixmap title_picture_, loading_picture_;
    double scale_ = 1;
    int client_height_ = 240;  // in layout pixels; the width follows the phase
    int32_t ticks_ = 0;
    bool alternate_ = false;
    bool opening_ = false;           // a driving window is being loaded
    bool cancel_requested_ = false;  // ... and the player gave it up
    std::string train_, route_;
    std::unique_ptr<DrivingWindow> driving_;
};

}  // namespace vantrel
