#include "ui/driving_window.hpp"

#include <iostream>

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include "common/shown_errors.hpp"
#include "app/run.hpp"
#include "app/run_setup.hpp"
#include "common/path_resolver.hpp"
#include "controllers/mascon_reader.hpp"
#include "controllers/usb_scan.hpp"
#include "sound/train_sounds.hpp"
#include "platform/calibration_store.hpp"
#include "platform/serial_port.hpp"
#include "ui/serial_settings_dialog.hpp"
#include "platform/qt_picture_loader.hpp"
#include "ui/cab_screen.hpp"
#include "ui/cab_speech.hpp"
#include "platform/screen_saver_inhibitor.hpp"
#include "ui/clocked_sound.hpp"
#include "ui/drive_session.hpp"
#include "ui/film_mix_menu.hpp"
#include "ui/frame_presenter.hpp"
#include "ui/help_window.hpp"
#include "ui/key_input.hpp"
#include "ui/report_window.hpp"
#include "ui/value_display.hpp"

namespace vantrel {

namespace {

constexpr const char* kPause = "一時停止(&S)";
constexpr const char* kResume = "運転再開(&S)";
constexpr const char* kFullScreen = QT_TRANSLATE_NOOP("vantrel::DrivingWindow", "全画面表示\tF11");

QString text_or(const std::string& replacement, const char* builtin) {
    return replacement.empty() ? QString::fromUtf8(builtin) : QString::fromStdString(replacement);
}

}  // namespace

QString load_error_text(const DataError& error) {
    return QString::fromStdString(shown_error_text(error));
}

DrivingWindow::DrivingWindow(DriveHooks hooks, BackEnds back_ends)
    : hooks_(std::move(hooks)), back_(std::move(back_ends)) {}

DrivingWindow::~DrivingWindow() {
    if (session_) session_->stop();
    if (hooks_.value_display) hooks_.value_display->set_input_target({});
    if (hooks_.help) hooks_.help->set_input_target({});
}

std::unique_ptr<DrivingWindow> DrivingWindow::open(const DriveRequest& request, DriveHooks hooks, BackEnds back_ends) {
    std::unique_ptr<DrivingWindow> window(new DrivingWindow(std::move(hooks), std::move(back_ends)));
    if (!window->load(request)) return nullptr;
    return window;
}

bool DrivingWindow::load(const DriveRequest& request) {
    auto report = [this](const QString& text) {
        if (hooks_.report_error) hooks_.report_error(text);
    };
    run_ = std::make_unique<Run>();
    const bool recorded = !request.record.empty() || !request.trace.empty() || !request.events.empty() ||
                          !request.view.empty();
    auto open_output = [&](std::ofstream& out, const std::string& name) {
        if (name.empty()) return true;
        out.open(name, std::ios::binary);
        if (out) return true;
        report(tr("%1 に書き込めません").arg(QString::fromStdString(name)));
        return false;
    };
    if (recorded) {
        auto clocked = std::make_unique<ClockedSound>(*back_.sound);
        // The sound events from the first wave loaded, as the runner logs them.
        if (!open_output(events_, request.events)) return false;
        if (events_.is_open()) {
            events_ << "t_ms,channel,operation,value\n";
            clocked->set_event_log(&events_);
        }
        run_->attach(*clocked);
        clocked_sound_ = std::move(clocked);
    } else {
        run_->attach(*back_.sound);
    }
    run_->attach(*back_.video);
    pictures_ = std::make_unique<QtPictureLoader>();
    if (hooks_.joystick_control) control_ = hooks_.joystick_control;
    run_->attach(*control_);

    // The joystick calibration first, then the controller file, then the run's own files.
    read_calibration(control_->calibration);
    const PathResolver resolver(request.data_dir);
    if (hooks_.status) hooks_.status(QString::fromUtf8("設定ファイルを読み込んでいます"));
    if (auto error = read_mascon_if_present(run_->controllers.mascon, resolver)) {
        std::cerr << error->message << "\n";
        report(QString::fromStdString(error->message));
        return false;
    }
    // The film's picture index is built while it opens: its progress goes to the status line.
    if (back_.set_progress) {
        back_.set_progress([this](int percent) {
            const QString text = tr("映像の索引を作成しています %1%").arg(percent);
            if (QThread::currentThread() == thread()) {
                if (hooks_.status) hooks_.status(text);
            } else {
                QMetaObject::invokeMethod(this, [this, text] { if (hooks_.status) hooks_.status(text); }, Qt::QueuedConnection);
            }
        });
    }
    // The index is built on a worker: meanwhile this thread runs its events (the progress
    // line, the title's cancel).
    if (back_.set_waiting) {
        back_.set_waiting([this](const std::function<bool()>& finished) {
            QEventLoop loop;
            QTimer poll;
            connect(&poll, &QTimer::timeout, &loop, [&] {
                film_cancelled_ = hooks_.cancel_requested && hooks_.cancel_requested();
                if (finished() || film_cancelled_) loop.quit();
            });
            poll.start(10);
            if (!finished()) loop.exec();
            // Progress the worker posted just before it finished is shown now, not after the
            // statuses that follow the film.
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
            return !film_cancelled_;
        });
    }
    const RunFiles files{request.train, request.route, request.strings};
    auto progress = [this, last = QString::fromUtf8("設定ファイルを読み込んでいます")](std::string_view text) mutable {
        const QString status = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        if (status == last) return;  // already shown before the controller file
        last = status;
        if (hooks_.status) hooks_.status(status);
    };
    if (auto error = load_run(*run_, files, resolver, *pictures_, progress)) {
        std::cerr << error->message << "\n" << error->file << ":" << error->line << "\n";
        report(load_error_text(*error));
        return false;
    }
    if (film_cancelled_) return false;
    if (!open_output(record_, request.record) || !open_output(trace_, request.trace) ||
        !open_output(timing_, request.timing_log) || !open_output(view_, request.view))
        return false;

    setWindowTitle("Vantrel");
    // The cab is drawn at the player's zoom, centred on a black ground.
    canvas_ = new Letterbox(this);
    setCentralWidget(canvas_);
    client_ = new QWidget(canvas_);
    client_->setAutoFillBackground(true);
    client_->setFixedSize(CabScreen::kLayoutWidth, CabScreen::kLayoutHeight);
    client_->setFocusPolicy(Qt::StrongFocus);
    canvas_->set_content(client_);
    canvas_->set_on_resized([this](QSize) {
        if (zoom_.full_screen && isFullScreen()) apply_zoom();
    });
    screen_ = std::make_unique<CabScreen>(client_, *run_, *pictures_);
    screen_->back()->installEventFilter(this);

    session_ = std::make_unique<DriveSession>(*run_);
    session_->attach_joystick(*back_.joystick);  // polled inside the 100 ms step
    serial_ = std::make_unique<SerialPort>();
    serial_->settings = load_serial_settings();
    connect(serial_.get(), &SerialPort::received, this,
            [this](const QByteArray& bytes) { session_->serial(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))); });
    connect(serial_.get(), &SerialPort::lost, this, [this] { inform(QString::fromUtf8(kDisconnectText)); });
    if (auto* clocked = dynamic_cast<ClockedSound*>(clocked_sound_.get()))
        session_->set_time_listener([clocked](int64_t t) { clocked->set_time(t); });
    if (record_.is_open()) session_->set_record(&record_);
    if (trace_.is_open()) session_->set_trace(&trace_);
    if (timing_.is_open()) session_->set_timing_log(&timing_);
    if (view_.is_open()) session_->set_view(&view_);
    presenter_ = std::make_unique<FramePresenter>(back_.film ? back_.film() : nullptr, *screen_->unten(), *session_, *run_);
    if (timing_.is_open()) presenter_->set_timing_log(&timing_);
    connect(session_.get(), &DriveSession::changed, this, &DrivingWindow::after_event);
    connect(session_.get(), &DriveSession::stepped, this, [this] {
        if (hooks_.value_display && hooks_.value_display->isVisible()) hooks_.value_display->update_values(*run_);
    });

    build_menu();
    auto forward = [this](QEvent* e) { route_input(e); };
    if (hooks_.value_display) hooks_.value_display->set_input_target(forward);
    if (hooks_.help) hooks_.help->set_input_target(forward);
    screen_->mirror(run_->view);
    zoom_ = load_view_zoom();
    apply_zoom();
    client_->setFocus();
    return true;
}

void DrivingWindow::build_menu() {
    const Strings& s = run_->strings;
    QMenuBar* bar = menuBar();
    start1_ = bar->addAction(text_or(s.start, "Start"));
    start1_->setObjectName("start1");
    connect(start1_, &QAction::triggered, this, [this] {
        presenter_->forget_presented();
        session_->start_pause();
        if (!session_->running()) presenter_->paused();
        start1_->setText(QString::fromUtf8(session_->running() ? kPause : kResume));
    });

    move_menu_ = bar->addMenu(text_or(s.move, "Move"));
    move_menu_->setObjectName("GoTo1");
    for (const MoveEntry& entry : run_->route.move_menu) {
        QAction* a = move_menu_->addAction(QString::fromStdString(entry.caption));
        a->setObjectName(QString::fromStdString(entry.name));
        const int32_t station = entry.station;
        connect(a, &QAction::triggered, this, [this, station] { session_->station(station); });
    }

    QMenu* show = bar->addMenu(text_or(s.display[0], "Display"));
    show->setObjectName("Show1");
    QAction* help = show->addAction(text_or(s.display[1], "操作説明(&H)"));
    help->setObjectName("menu_d1");
    connect(help, &QAction::triggered, this, [this] {
        if (hooks_.help) hooks_.help->show();
    });
    QAction* redraw_item = show->addAction(text_or(s.display[2], "再描画(&R)"));
    redraw_item->setObjectName("menu_d2");
    connect(redraw_item, &QAction::triggered, this, &DrivingWindow::redraw);
    QAction* commentary = show->addAction(QString::fromUtf8("解説モード(&D)"));
    commentary->setObjectName("D1");
    commentary->setCheckable(true);
    commentary->setEnabled(false);  // nothing enables it
    connect(commentary, &QAction::toggled, this, [this](bool on) { run_->commentary.D1 = on; });
    QAction* sound_reset = show->addAction(QString::fromUtf8("音声初期化(&S)"));
    sound_reset->setObjectName("S1");
    connect(sound_reset, &QAction::triggered, this, [this] { run_->commentary.queue.fill(kNoWave); });
    build_view_menu(show);
    attach_run_report(*this, *show, *run_, *session_);
    speech_ = new CabSpeech(*this, *bar, *run_, *session_, hooks_.speech);
    // The screen stays awake while the run goes, not while paused or on the title window.
    auto* awake = new ScreenSaverInhibitor(QDBusConnection::sessionBus(), this);
    connect(session_.get(), &DriveSession::changed, awake, [this, awake] { awake->set_active(session_->running()); });

    QMenu* controller = bar->addMenu(text_or(s.control, "Controller(&C)"));
    controller->setObjectName("Controller1");
    auto* types = new QActionGroup(this);
    const char* type_names[3] = {"COM11", "COM21", "COM31"};
    const char* type_captions[3] = {"標準/QXマスコン(&N)", "Windows用電車でGO! コントローラ(&U)",
                                    "PS用電車でGO! コントローラ(&M)"};
    for (int type = 0; type < 3; ++type) {
        QAction* a = controller->addAction(QString::fromUtf8(type_captions[type]));
        a->setObjectName(type_names[type]);
        a->setCheckable(true);
        types->addAction(a);
        connect(a, &QAction::triggered, this, [this, type] { set_controller(type); });
    }
    controller->addSeparator()->setObjectName("N1");
    QAction* debug = controller->addAction(QString::fromUtf8("デバッグオプション(&D)"));
    debug->setObjectName("debug1");
    debug->setCheckable(true);
    connect(debug, &QAction::triggered, this, [this, debug] {
        debug->setChecked(debug1Click(*run_));
        after_event();
    });
    QAction* settings = controller->addAction(QString::fromUtf8("QXマスコン（設定）(&P)"));
    settings->setObjectName("QXP1");
    connect(settings, &QAction::triggered, this, &DrivingWindow::serial_settings);
    QAction* link = controller->addAction(QString::fromUtf8("QXマスコン（接続）(&C)"));
    link->setObjectName("QXC1");
    connect(link, &QAction::triggered, this, &DrivingWindow::serial_connect);

    // The chosen controller is remembered between runs; its check mark follows it.
    set_controller(QSettings().value("controller/type", static_cast<int>(control_->type)).toInt());
}

void DrivingWindow::set_controller(int type) {
    if (type < 0 || type > 2) type = 0;
    session_->controller(static_cast<ControllerType>(type));
    const char* names[3] = {"COM11", "COM21", "COM31"};
    if (QAction* a = item(names[type])) a->setChecked(true);
    QSettings().setValue("controller/type", type);
}

void DrivingWindow::serial_settings() {
    SerialSettingsDialog dialog(serial_->settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    serial_->settings = dialog.settings();
    save_serial_settings(serial_->settings);
}

void DrivingWindow::serial_connect() {
    bool failed = false;
    const QString text = serial_->connect_or_disconnect(&failed);
    if (failed) {
        if (hooks_.report_error) hooks_.report_error(text);
    } else {
        inform(text);
    }
}

void DrivingWindow::inform(const QString& text) {
    if (hooks_.inform) {
        hooks_.inform(text);
    } else {
        QMessageBox::information(this, "Vantrel", text);
    }
}

QAction* DrivingWindow::item(const QString& name) const { return findChild<QAction*>(name); }

void DrivingWindow::build_view_menu(QMenu* show) {
    show->addSeparator();
    auto* sizes = new QActionGroup(this);
    for (const ZoomChoice& choice : kZoomChoices) {
        QAction* a = show->addAction(tr(choice.caption));
        a->setObjectName(QString("zoom_%1").arg(choice.factor));
        a->setCheckable(true);
        sizes->addAction(a);
        const double factor = choice.factor;
        connect(a, &QAction::triggered, this, [this, factor] { set_zoom(factor); });
    }
    QAction* full = show->addAction(tr(kFullScreen));
    full->setObjectName("full_screen");
    full->setCheckable(true);
    connect(full, &QAction::triggered, this, [this](bool on) { set_full_screen(on); });
    attach_film_mix_menu(*this, *show, *presenter_);
}

void DrivingWindow::set_zoom(double factor) {
    zoom_.factor = factor;
    save_view_zoom(zoom_);
    apply_zoom();
}

void DrivingWindow::set_full_screen(bool on) {
    if (zoom_.full_screen == on) return;
    zoom_.full_screen = on;
    save_view_zoom(zoom_);
    if (on) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        canvas_->setMinimumSize(0, 0);
        canvas_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (isVisible()) showFullScreen();
    } else if (isFullScreen()) {
        showNormal();
    }
    apply_zoom();
}

void DrivingWindow::apply_zoom() {
    const QSize layout(CabScreen::kLayoutWidth, CabScreen::kLayoutHeight);
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    const QSize chrome = frame + QSize(0, menuBar()->sizeHint().height());
    // The chosen factor, or the largest that fits the screen when it does not.
    const double windowed = window_factor(zoom_, layout, chrome, QWidget::screen());
    const bool full = zoom_.full_screen && isFullScreen();
    screen_->set_scale(full ? fit_factor(layout, canvas_->size()) : windowed);
    if (!full) {
        canvas_->setFixedSize(client_->size());
        setFixedSize(sizeHint());
    }
    canvas_->centre();
    // Only the factors that fit the screen are offered.
    const QSize room = available_room(QWidget::screen());
    const double shown = zoom_.factor > 0 ? windowed : 0;
    for (const ZoomChoice& choice : kZoomChoices) {
        QAction* a = item(QString("zoom_%1").arg(choice.factor));
        if (!a) continue;
        a->setVisible(choice.factor <= 1 || factor_fits(choice.factor, layout, chrome, room));
        a->setChecked(choice.factor == shown);
    }
    if (QAction* a = item("full_screen")) a->setChecked(zoom_.full_screen);
    // The film is drawn from its own resolution at the surface's pixels: a new size is asked
    // for and the frame shown again.
    if (presenter_) presenter_->resize();
}

void DrivingWindow::route_input(QEvent* event) {
    if (!session_) return;
    // F5 asks whether the value display is shown: its own close button may have hidden it.
    if (hooks_.value_display)
        run_->view.value_display_visible = value_display_shown_ = hooks_.value_display->isVisible();
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        // F11 alone is the window's (the key table knows Shift+F11 only); Esc leaves full
        // screen and still types its character.
        if (key->key() == Qt::Key_F11 && mods == Qt::NoModifier) {
            if (!key->isAutoRepeat()) set_full_screen(!zoom_.full_screen);  // a held key switches once
            event->accept();
            return;
        }
        if (key->key() == Qt::Key_Escape && zoom_.full_screen) set_full_screen(false);
        if (route_key(*session_, *key)) event->accept();
    } else if (event->type() == QEvent::Wheel) {
        route_wheel(*session_, *static_cast<QWheelEvent*>(event), wheel_remainder_);
        event->accept();
    }
}

void DrivingWindow::keyPressEvent(QKeyEvent* event) {
    route_input(event);
    if (!event->isAccepted()) QMainWindow::keyPressEvent(event);
}

void DrivingWindow::wheelEvent(QWheelEvent* event) { route_input(event); }

bool DrivingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (screen_ && watched == screen_->back() && event->type() == QEvent::MouseButtonRelease) {
        close();  // BackClick
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void DrivingWindow::after_event() {
    if (closing_) return;
    const CabView& v = run_->view;
    screen_->mirror(v);
    const QString caption = QString::fromStdString(v.caption);
    if (windowTitle() != caption) setWindowTitle(caption);
    if (ValueDisplay* values = hooks_.value_display) {
        const QString echo = QString::fromStdString(run_->controllers.value_caption);
        if (!echo.isEmpty() && values->windowTitle() != echo) values->setWindowTitle(echo);
        // Only F5 shows or hides it: a display closed by its button stays closed while ticks run.
        if (v.value_display_visible != value_display_shown_) {
            value_display_shown_ = v.value_display_visible;
            if (value_display_shown_ && !values->isVisible()) {
                values->update_values(*run_);
                values->show();
            } else if (!value_display_shown_ && values->isVisible()) {
                values->hide();
            }
        }
    }
    presenter_->after_event();
}

void DrivingWindow::redraw() { presenter_->redraw(); }

int DrivingWindow::frames_drawn() const { return presenter_->frames_drawn(); }

int32_t DrivingWindow::presented_frame() const { return presenter_->presented(); }

void DrivingWindow::show_still() {
    const PictureRef& still = run_->route.still;
    if (!still.name.empty()) screen_->unten()->show_still(pictures_->image(still.path));
}

void DrivingWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        apply_zoom();  // the frame's size is known now
        // Another screen may have another device pixel ratio (and room to fit).
        if (QWindow* window = windowHandle()) connect(window, &QWindow::screenChanged, this, &DrivingWindow::apply_zoom);
        if (zoom_.full_screen) {
            zoom_.full_screen = false;
            set_full_screen(true);
            return;
        }
        if (const QScreen* screen = QWidget::screen())
            move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    // FormActivate: until the start the video view shows the route's still picture.
    if (session_ && run_->waiting_for_start && !session_->running()) show_still();
}

void DrivingWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    presenter_->stop();
    session_->stop();
    serial_->close();
    CoreState& c = run_->core;
    c.RemainingDistance = 0;
    c.AtsEmergency = false;
    c.AtsBrake = false;
    unload_train_sounds(*run_);
    run_->commentary.queue.fill(kNoWave);
    if (hooks_.value_display) hooks_.value_display->hide();
    if (!reinitialise_sound(*back_.sound)) {
        if (hooks_.report_error) {
            hooks_.report_error(QString::fromUtf8("DirectSoundを初期化できませんでした。"));
            hooks_.report_error(QString::fromUtf8("安全のため一旦終了いたします。"));
        }
        QCoreApplication::exit(1);
    }
    event->accept();
    Q_EMIT closed();
}

}  // namespace vantrel
