// vantrel-timing: drives a run in the driving window by the wall clock and reports the
// process's CPU share while standing before the start, while driving and while paused; the
// window's timing log (--timing-log) holds every tick's due and wall time and every frame
// drawn. SPEED is a multiple of the filming speed (0.25, 0.5, 1, 2, 4 ...), a ramp from one
// multiple to another over the drive ("1-4"), a constant speed such as "-10kmh" (negative:
// reversing), or "jumps": every station of the Move menu in turn, with the time from each jump
// to its exact frame on show. MIX is how the film is shown between frames: whole, blend (the
// default), sharp, or blur (blend, and motion blur above the filming speed).
#include <algorithm>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>

#include "app/run.hpp"
#include "common/fixed_point.hpp"
#include "ui/art_resources.hpp"
#include "ui/cab_screen.hpp"
#include "ui/cab_widgets.hpp"
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

// Moves to every station of the Move menu in turn and prints how long each took until its
// very frame was on show.
void station_jumps(vantrel::DrivingWindow& window) {
    std::vector<double> waits;
    for (QAction* station : window.move_menu()->actions()) {
        QElapsedTimer wall;
        wall.start();
        station->trigger();
        if (window.run().core.Frame >= window.run().video.length) continue;  // beyond a shortened film
        while (window.presented_frame() != window.run().core.Frame && wall.elapsed() < 10000) measure(0.005);
        waits.push_back(static_cast<double>(wall.nsecsElapsed()) / 1e6);
        measure(0.5);
    }
    if (waits.empty()) return;
    std::sort(waits.begin(), waits.end());
    std::printf("jumps %zu  first exact frame median %.0f ms  max %.0f ms\n", waits.size(), waits[waits.size() / 2],
                waits.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6 || argc > 9) {
        std::cerr << "usage: vantrel-timing DATA_DIR TRAIN ROUTE DRIVE_SECONDS TIMING_LOG [SPEED [ZOOM [MIX]]]\n";
        return 64;
    }
    const std::string speed_arg = argc > 6 ? argv[6] : "1";
    const bool jumps = speed_arg == "jumps";
    const bool kmh = speed_arg.ends_with("kmh");
    // "1-4": from 1 to 4 times the filming speed, evenly over the drive.
    const auto ramp = speed_arg.find('-', 1);
    const bool accelerating = !jumps && !kmh && ramp != std::string::npos;
    const double multiple = jumps ? 0 : std::stod(speed_arg);
    const double ramp_to = accelerating ? std::stod(speed_arg.substr(ramp + 1)) : multiple;
    const double zoom = argc > 7 ? std::stod(argv[7]) : 1;
    const std::string mix = argc > 8 ? argv[8] : "blend";
    if (mix != "whole" && mix != "blend" && mix != "sharp" && mix != "blur") {
        std::cerr << "MIX is whole, blend, sharp or blur\n";
        return 64;
    }
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
    window->item(QString::fromStdString("mix_" + (mix == "blur" ? std::string("blend") : mix)))->trigger();
    window->item("motion_blur")->setChecked(mix == "blur");
    window->show();
    const double standing = measure(10);

    window->item("start1")->trigger();
    vantrel::DriveSession& session = window->session();
    session.key('5');
    for (int i = 0; i < 4; ++i) session.key('z');
    // Follow the film at a multiple of its filming speed, so the frame changes at every tick
    // for the whole drive (1x: the film's own test key; more: the speed set after every event).
    vantrel::Run& run = window->run();
    if (jumps) {
        station_jumps(*window);
    } else if (kmh) {
        QObject::connect(&session, &vantrel::DriveSession::changed,
                         [&run, multiple] { run.core.Speed = std::llround(multiple * vantrel::kFixedOne); });
    } else if (accelerating) {
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        const double seconds = std::stod(argv[4]);
        QObject::connect(&session, &vantrel::DriveSession::changed, [&run, clock, multiple, ramp_to, seconds] {
            const double along = std::min(1.0, static_cast<double>(clock->elapsed()) / 1000.0 / seconds);
            const double times = multiple + (ramp_to - multiple) * along;
            run.core.Speed = static_cast<int64_t>(run.video.FilmedSpeed * times * vantrel::kFixedOne);
        });
    } else if (multiple == 1) {
        session.virtual_key(vantrel::VirtualKey::F1, true);
    } else {
        QObject::connect(&session, &vantrel::DriveSession::changed, [&run, multiple] {
            run.core.Speed = std::llround(run.video.FilmedSpeed * multiple * vantrel::kFixedOne);
        });
    }
    const double driving = jumps ? 0 : measure(std::stod(argv[4]));
    const int speed = static_cast<int>(window->run().core.Speed / 10000);
    window->item("start1")->trigger();
    const double paused = measure(10);
    const QSize drawn = window->screen().unten()->pixel_size();
    window->close();
    std::printf("cpu_standing %.4f\ncpu_driving %.4f\ncpu_paused %.4f\nspeed_at_end_kmh %d\nframes_presented %d\n",
                standing, driving, paused, speed, window->frames_drawn());
    // The size the film is drawn at, for a player to show it at the same size.
    std::printf("film_drawn %dx%d\n", drawn.width(), drawn.height());
    return 0;
}
