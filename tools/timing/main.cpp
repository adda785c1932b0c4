// vantrel-timing: drives a run in the driving window by the wall clock and reports the
// process's CPU share while standing before the start, while driving at a multiple of the
// filming speed and while paused; the window's timing log (--timing-log) holds every
// tick's due and wall time and every frame drawn.
#include <sys/resource.h>

#include <cstdio>
#include <iostream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "ui/art_resources.hpp"
#include "ui/cab_screen.hpp"
#include "ui/drive_session.hpp"
#include "ui/driving_window.hpp"
#include "ui/help_window.hpp"
#include "ui/value_display.hpp"

namespace {

double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for `seconds` and returns the CPU share of one core it took.
double measure(double seconds) {
    const double cpu = cpu_seconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return (cpu_seconds() - cpu) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 8) {
        std::cerr << "usage: vantrel-timing DATA_DIR TRAIN ROUTE DRIVE_SECONDS TIMING_LOG [SPEED_MULTIPLE [ZOOM]]\n";
        return 64;
    }
    const int multiple = argc > 6 ? std::stoi(argv[6]) : 1;
    const double zoom = argc > 7 ? std::stod(argv[7]) : 1;
    QApplication app(argc, argv);
    QApplication::setOrganizationName("VantrelTiming");
    vantrel::init_art_resources();
    vantrel::ValueDisplay values;
    vantrel::HelpWindow help;
    vantrel::DriveRequest request;
    request.data_dir = argv[1];
    request.train = argv[2];
    request.route = argv[3];
    request.timing_log = argv[5];
    vantrel::DriveHooks hooks;
    hooks.report_error = [](const QString& text) { std::cerr << text.toStdString() << "\n"; };
    hooks.value_display = &values;
    hooks.help = &help;
    auto window = vantrel::DrivingWindow::open(request, std::move(hooks), vantrel::make_back_ends());
    if (!window) return 2;
    window->set_zoom(zoom);
    window->show();
    const double standing = measure(10);

    window->item("start1")->trigger();
    vantrel::DriveSession& session = window->session();
    session.key('5');
    for (int i = 0; i < 4; ++i) session.key('z');
    // Follow the film at a multiple of its filming speed, so the frame changes at every tick
    // for the whole drive (1x: the film's own test key; more: the speed set after every event).
    vantrel::Run& run = window->run();
    if (multiple == 1) {
        session.virtual_key(vantrel::VirtualKey::F1, true);
    } else {
        QObject::connect(&session, &vantrel::DriveSession::changed, [&run, multiple] {
            run.core.Speed = static_cast<int64_t>(run.video.FilmedSpeed) * multiple * vantrel::kFixedOne;
        });
    }
    const double driving = measure(std::stod(argv[4]));
    const int speed = static_cast<int>(window->run().core.Speed / 10000);
    window->item("start1")->trigger();
    const double paused = measure(10);
    window->close();
    std::printf("cpu_standing %.4f\ncpu_driving %.4f\ncpu_paused %.4f\nspeed_at_end_kmh %d\nframes_presented %d\n",
                standing, driving, paused, speed, window->frames_drawn());
    return 0;
}
