#include "ui/title_window.hpp"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QUrl>

#include <ranges>

#include "common/shown_errors.hpp"
#include "common/path_resolver.hpp"
#include "platform/movie_sound.hpp"
#include "ui/cab_widgets.hpp"
#include "ui/view_zoom.hpp"

namespace vantrel {

namespace {

constexpr int kMovieTickLimit = 1400;  // the movie phase lasts at most 140 s

struct TrainChoice {
    const char* train;
    const char* route;
    const char* alternate;  // with Shift held
};

// Train1, Train2, Train3, train4.
constexpr std::array<TrainChoice, 4> kChoices{{
    {"train_785.dat", "line_exp.dat", "train_785.dat"},
    {"train_731.dat", "line_local.dat", "train_721.dat"},
    {"train_40.dat", "line_local2.dat", "train_711.dat"},
    {"train_721.dat", "line_rapid.dat", "train_731.dat"},
}};

QPushButton* picture_button(QWidget* parent, const char* name, const char* picture) {
    auto* b = new QPushButton(parent);
    b->setObjectName(name);
    b->setProperty("picture", QString(":/art/") + picture);
    b->setIcon(QIcon(QString(":/art/") + picture));
    b->setFlat(true);
    // Reachable by Tab and named for screen readers; a focus ring shows where Enter goes.
    b->setFocusPolicy(Qt::TabFocus);
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet("QPushButton { border: none; padding: 0; background: transparent; }"
                     "QPushButton:focus { border: 2px solid #ffd400; }");
    b->hide();
    return b;
}

}  // namespace

TitleWindow::TitleWindow(TitleSetup setup) : QWidget(nullptr, Qt::FramelessWindowHint), setup_(std::move(setup)) {
    setWindowTitle("Vantrel");
    setFocusPolicy(Qt::StrongFocus);
    Image1_ = new QLabel(this);
    Image1_->setObjectName("Image1");
    place(Image1_, QRect(0, 0, 640, 480));
    Image1_->setScaledContents(false);
    static constexpr std::array<const char*, 4> kNames{"Train1", "Train2", "Train3", "train4"};
    static constexpr std::array<const char*, 4> kPictures{"train1.png", "train2.png", "train3.png", "train4.png"};
    static constexpr std::array<QRect, 4> kPlaces{QRect(11, 360, 163, 50), QRect(122, 420, 163, 50),
                                                  QRect(295, 390, 163, 50), QRect(468, 360, 163, 50)};
    for (size_t i = 0; i < trains_.size(); ++i) {
        trains_[i] = picture_button(this, kNames[i], kPictures[i]);
        trains_[i]->setAccessibleName(tr("車両 %1").arg(i + 1));
        place(trains_[i], kPlaces[i]);
        connect(trains_[i], &QPushButton::clicked, this, [this, i] { choose(static_cast<int>(i)); });
    }
    static constexpr std::array<const char*, 3> kBadgeNames{"TrainA", "TrainB", "TrainC"};
    static constexpr std::array<const char*, 3> kBadgePictures{"badge_a.png", "badge_b.png", "badge_c.png"};
    static constexpr std::array<QRect, 3> kBadgePlaces{QRect(122, 420, 46, 50), QRect(295, 390, 52, 50),
                                                       QRect(468, 360, 47, 50)};
    for (size_t i = 0; i < badges_.size(); ++i) {
        badges_[i] = picture_button(this, kBadgeNames[i], kBadgePictures[i]);
        badges_[i]->setAccessibleName(tr("別の車両 %1").arg(i + 2));
        place(badges_[i], kBadgePlaces[i]);
        connect(badges_[i], &QPushButton::clicked, this, [this, i] { choose(4 + static_cast<int>(i)); });
    }
    HELP_ = picture_button(this, "HELP", "help.png");
    HELP_->setAccessibleName(tr("説明書"));
    place(HELP_, QRect(11, 429, 50, 19));
    connect(HELP_, &QPushButton::clicked, this, [this] {
        const auto page = std::filesystem::absolute(setup_.data_dir / "readme.html");
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    });
    Quit_ = picture_button(this, "Quit", "quit.png");
    Quit_->setAccessibleName(tr("終了"));
    place(Quit_, QRect(11, 453, 50, 19));
    connect(Quit_, &QPushButton::clicked, this, [this] {
        driving_.reset();
        close();
    });
    open_ = new QPushButton(tr("車両と路線を開く..."), this);
    open_->setObjectName("OpenFiles");
    place(open_, QRect(480, 453, 150, 19));
    open_->setFocusPolicy(Qt::TabFocus);
    open_->setAccessibleName(tr("車両と路線を開く"));
    open_->hide();
    connect(open_, &QPushButton::clicked, this, &TitleWindow::pick_files);
    if (setup_.switch_data_set) {
        switch_ = new QPushButton(tr("データセットを切り替える..."), this);
        switch_->setObjectName("SwitchDataSet");
        place(switch_, QRect(300, 453, 170, 19));
        switch_->setFocusPolicy(Qt::NoFocus);
        switch_->hide();
        connect(switch_, &QPushButton::clicked, this, [this] { setup_.switch_data_set(); });
    }

    cancel_ = new QPushButton(tr("中止"), this);
    cancel_->setObjectName("Cancel");
    place(cancel_, QRect(560, 480, 80, 18));
    cancel_->setFocusPolicy(Qt::NoFocus);
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, [this] { cancel_requested_ = true; });

    loading_ = new QLabel(this);
    loading_->setObjectName("loading");
    place(loading_, QRect(257, 231, 100, 20));
    loading_picture_ = QPixmap(":/art/loading.png");
    loading_->hide();
    Label1_ = new QLabel(this);
    Label1_->setObjectName("Label1");
    place(Label1_, QRect(0, 480, 640, 18));
    DXDraw1_ = new VideoSurface(this);
    DXDraw1_->setObjectName("DXDraw1");
    DXDraw1_->place(QRect(0, 0, 320, 240));
    movie_status_ = new QLabel(this);
    movie_status_->setObjectName("movie_status");
    movie_status_->setStyleSheet("QLabel { color: white; }");
    place(movie_status_, QRect(4, 218, 312, 18));
    movie_status_->hide();

    Timer1_.setInterval(100);
    connect(&Timer1_, &QTimer::timeout, this, &TitleWindow::timer_tick);
    movie_timer_.setTimerType(Qt::PreciseTimer);
    connect(&movie_timer_, &QTimer::timeout, this, &TitleWindow::movie_frame);
}

TitleWindow::~TitleWindow() = default;

bool TitleWindow::movie_visible() const { return DXDraw1_->isVisible(); }

void TitleWindow::place(QWidget* w, const QRect& layout_rect) {
    places_.emplace_back(w, layout_rect);
    w->setGeometry(CabScale{scale_}.map(layout_rect));
}

void TitleWindow::apply_scale() {
    ViewZoom zoom = load_view_zoom();
    zoom.full_screen = false;
    const QScreen* on = QWidget::screen() ? QWidget::screen() : QGuiApplication::primaryScreen();
    scale_ = window_factor(zoom, QSize(640, 498), QSize(0, 0), on);
    const CabScale map{scale_};
    const qreal ratio = devicePixelRatioF();
    auto smooth = [&](const QPixmap& picture) {
        if (picture.isNull() || scale_ == 1) return picture;
        QPixmap out = picture.scaled((QSizeF(picture.size()) * scale_ * ratio).toSize(), Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
        out.setDevicePixelRatio(ratio);
        return out;
    };
    for (const auto& [w, r] : places_) {
        w->setGeometry(map.map(r));
        // An icon is never drawn larger than its picture: the picture itself is scaled.
        auto* b = qobject_cast<QPushButton*>(w);
        if (b && b->property("picture").isValid()) {
            b->setIcon(QIcon(smooth(QPixmap(b->property("picture").toString()))));
            b->setIconSize(map.map(r).size());
        }
    }
    Image1_->setPixmap(smooth(title_picture_));
    loading_->setPixmap(smooth(loading_picture_));
    QFont f = font();
    f.setPointSizeF(QApplication::font().pointSizeF() * scale_);
    Label1_->setFont(f);
    open_->setFont(f);
    if (switch_) switch_->setFont(f);
    cancel_->setFont(f);
    movie_status_->setFont(f);
    DXDraw1_->set_scale(scale_);
    if (movie_) movie_->set_draw_size(DXDraw1_->pixel_size());
    const QSize before = size();
    setFixedSize(map.map(QRect(0, 0, DXDraw1_->isHidden() ? 640 : 320, client_height_)).size());
    // A new zoom keeps the window centred where it was.
    if (before != size() && isVisible()) move(pos() + QPoint(before.width() - width(), before.height() - height()) / 2);
}

std::unique_ptr<TitleWindow> TitleWindow::create(TitleSetup setup) {
    std::unique_ptr<TitleWindow> w(new TitleWindow(std::move(setup)));
    // The small movie window, centred on the screen.
    w->apply_scale();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        w->move(screen->availableGeometry().center() - QPoint(w->width() / 2, w->height() / 2));
    w->ticks_ = 0;
    w->Timer1_.start();
    w->start_movie();
    if (!w->load_title_picture()) return nullptr;
    return w;
}

bool TitleWindow::load_title_picture() {
    const int number = QRandomGenerator::global()->bounded(9) + 1;
    const std::string name = "image\\title\\0" + std::to_string(number) + ".jpg";
    const PathResolver resolver(setup_.data_dir);
    QPixmap picture;
    const auto file = resolver.resolve(name);
    if (!file || !picture.load(QString::fromStdString(file->string()))) {
        if (setup_.report_error)
            setup_.report_error(tr("%1が見つかりません").arg(QString::fromStdString(name)));
        return false;
    }
    title_picture_ = picture;
    apply_scale();
    return true;
}

void TitleWindow::start_movie() {
    std::filesystem::path file = setup_.program_dir / "move" / "opening.avi";
    if (!std::filesystem::exists(file)) {
        const auto in_data = PathResolver(setup_.data_dir).resolve("move\\opening.avi");
        if (!in_data) return;  // no movie: the small window waits for a click
        file = *in_data;
    }
    // The picture index is built on a worker (a click gives it up with the movie); the movie
    // starts when it is done.
    movie_file_ = file;
    movie_opener_ = std::make_unique<FilmOpener>(file, [this](int percent) {
        QMetaObject::invokeMethod(this, [this, percent] {
            if (!movie_opener_) return;
            movie_status_->setText(tr("映像の索引を作成しています %1%").arg(percent));
            movie_status_->show();
        }, Qt::QueuedConnection);
    });
    movie_timer_.start(10);
}

void TitleWindow::play_movie() {
    movie_ = movie_opener_->take();
    movie_opener_.reset();
    movie_status_->hide();
    if (!movie_ || movie_->length() <= 0) {
        movie_timer_.stop();
        movie_.reset();
        if (setup_.report_error) setup_.report_error(QString::fromUtf8(kOpeningMovieUnreadable.data(), kOpeningMovieUnreadable.size()));
        return;
    }
    movie_->set_draw_size(DXDraw1_->pixel_size());
    movie_rate_ = movie_->frame_rate();
    if (movie_rate_ <= 0) movie_rate_ = 30;
    // The sound track is decoded in the background and joins the movie where it stands.
    movie_sound_ = make_movie_sound(movie_file_);
    movie_clock_.start();
    movie_timer_.start(std::max(1, static_cast<int>(1000.0 / movie_rate_ / 2)));
    movie_frame();
}

void TitleWindow::movie_frame() {
    if (movie_opener_) {
        if (movie_opener_->finished()) play_movie();
        return;
    }
    if (!movie_) return;
    const auto index = static_cast<int32_t>(static_cast<double>(movie_clock_.elapsed()) * movie_rate_ / 1000.0);
    if (index >= movie_->length()) {
        movie_timer_.stop();  // the last picture stays
        return;
    }
    if (index != movie_asked_) {
        movie_asked_ = index;
        movie_->want(index);
    }
    // The decoder's newest picture near the wanted one; the last one stays until it has one.
    const FilmPicture picture = movie_->nearest(index);
    if (picture.index < 0 || picture.index == movie_shown_ || picture.image.isNull()) return;
    DXDraw1_->show_frame(picture.image);
    movie_shown_ = picture.index;
}

void TitleWindow::end_movie() {
    for (QPushButton* b : trains_) b->hide();
    set_badges(false);
    HELP_->hide();
    Quit_->hide();
    open_->hide();
    if (switch_) switch_->hide();
    ticks_ = 0;
    movie_timer_.stop();
    movie_opener_.reset();  // an index still being built is given up
    movie_status_->hide();
    movie_.reset();
    movie_sound_.reset();
    DXDraw1_->hide();
    client_height_ = 480;
    const QPoint centre = pos() + QPoint(width(), height()) / 2;
    apply_scale();
    move(centre - QPoint(width(), height()) / 2);
}

void TitleWindow::timer_tick() {
    if (movie_sound_) movie_sound_->update();
    if (ticks_ == kMovieTickLimit && DXDraw1_->isVisible()) end_movie();
    ++ticks_;
    for (size_t i = 0; i < trains_.size(); ++i)
        if (ticks_ > 2 + static_cast<int>(i)) trains_[i]->show();
    if (ticks_ > 6) HELP_->show();
    if (ticks_ > 7) {
        Quit_->show();
        open_->show();
        if (switch_) switch_->show();
    }
}

void TitleWindow::mousePressEvent(QMouseEvent* event) {
    if (DXDraw1_->isVisible()) end_movie();  // aviclick
    QWidget::mousePressEvent(event);
}

void TitleWindow::closeEvent(QCloseEvent* event) {
    if (opening_) {
        // A driving window is being loaded under this call: it is given up first.
        cancel_requested_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    driving_.reset();
    QCoreApplication::quit();
}

void TitleWindow::set_badges(bool shown) {
    for (QPushButton* b : badges_) b->setVisible(shown);
}

void TitleWindow::keyPressEvent(QKeyEvent* event) {
    if (opening_ && event->key() == Qt::Key_Escape) cancel_requested_ = true;
    // Enter, Space or Esc skips the opening movie, as a click does.
    const int k = event->key();
    if (DXDraw1_->isVisible() && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space || k == Qt::Key_Escape)) {
        end_movie();
        event->accept();
        return;
    }
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
        set_badges(true);
        alternate_ = true;
    }
    QWidget::keyPressEvent(event);
}

void TitleWindow::keyReleaseEvent(QKeyEvent* event) {
    set_badges(false);
    alternate_ = false;
    QWidget::keyReleaseEvent(event);
}

void TitleWindow::set_client_height(int height) {
    client_height_ = height;
    setFixedSize(CabScale{scale_}.map(QRect(0, 0, 640, height)).size());
}

void TitleWindow::choose(int button) {
    Timer1_.stop();
    for (QPushButton* b : trains_) b->show();
    HELP_->show();
    Quit_->show();
    open_->show();
    if (switch_) switch_->show();
    loading_->show();
    loading_->repaint();
    // A badge covers the left part of the train button it stands on (TrainA on Train2, ...),
    // where a player clicks: it chooses that button's alternate train.
    const bool badge = button >= 4 && button < 4 + static_cast<int>(badges_.size());
    if (badge) button -= 3;
    if (button >= 0 && button < static_cast<int>(kChoices.size())) {
        const TrainChoice& c = kChoices[static_cast<size_t>(button)];
        train_ = alternate_ || badge ? c.alternate : c.train;
        route_ = c.route;
    }
    open_driving_window();
}

void TitleWindow::open_files(const std::string& train, const std::string& route) {
    Timer1_.stop();
    loading_->show();
    loading_->repaint();
    train_ = train;
    route_ = route;
    open_driving_window();
}

void TitleWindow::pick_files() {
    const QString dir = QString::fromStdString(std::filesystem::absolute(setup_.data_dir).string());
    const QString filter = tr("データファイル (*.dat);;すべてのファイル (*)");
    const QString train = QFileDialog::getOpenFileName(this, tr("車両ファイル"), dir, filter);
    if (train.isEmpty()) return;
    const QString route = QFileDialog::getOpenFileName(this, tr("路線ファイル"), dir, filter);
    if (route.isEmpty()) return;
    // Names inside the data folder stay relative to it, as the data files name things.
    auto relative = [this](const QString& file) {
        const auto path = std::filesystem::path(file.toStdString());
        const auto rel = std::filesystem::relative(path, std::filesystem::absolute(setup_.data_dir));
        const std::string text = rel.string();
        return (rel.empty() || text.starts_with("..")) ? path.string() : text;
    };
    open_files(relative(train), relative(route));
}

void TitleWindow::open_driving_window() {
    // The window thread runs on while a film is indexed: no second window meanwhile.
    if (opening_) return;
    set_client_height(498);
    Label1_->setText(QString::fromUtf8("Formを作成しています"));
    Label1_->repaint();
    driving_.reset();
    DriveRequest request;
    request.data_dir = setup_.data_dir;
    request.train = train_;
    request.route = route_;
    DriveHooks hooks;
    hooks.status = [this](const QString& text) {
        Label1_->setText(text);
        Label1_->repaint();
    };
    hooks.report_error = setup_.report_error;
    hooks.value_display = setup_.value_display;
    hooks.help = setup_.help;
    hooks.joystick_control = setup_.joystick_control;
    hooks.speech = setup_.speech;
    hooks.cancel_requested = [this] { return cancel_requested_; };
    opening_ = true;
    cancel_requested_ = false;
    for (QWidget* w : places_ | std::views::keys) {
        if (qobject_cast<QPushButton*>(w) && w != cancel_) w->setEnabled(false);
    }
    cancel_->show();
    cancel_->raise();  // over the status line's end
    driving_ = DrivingWindow::open(request, std::move(hooks), setup_.make_back_ends ? setup_.make_back_ends() : make_back_ends());
    opening_ = false;
    cancel_->hide();
    for (QWidget* w : places_ | std::views::keys) w->setEnabled(true);
    if (!driving_ && cancel_requested_) {
        loading_->hide();
        Label1_->clear();
        return;
    }
    if (!driving_) return;  // the title keeps its building look, its buttons usable
    connect(driving_.get(), &DrivingWindow::closed, this, &TitleWindow::driving_window_closed, Qt::QueuedConnection);
    hide();
    driving_->show();
    Q_EMIT driving_window_opened();
}

void TitleWindow::driving_window_closed() {
    if (driving_) driving_->hide();
    loading_->hide();
    client_height_ = 480;
    apply_scale();  // the driving window's 表示 menu may have chosen another zoom
    set_badges(false);
    alternate_ = false;
    show();
}

}  // namespace vantrel
