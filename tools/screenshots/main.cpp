// vantrel-screenshots: opens the windows on a data folder, drives the demo run to a
// moment at speed with a signal and a speed limit shown, and saves the windows as PNGs.
#include <iostream>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include "app/run.hpp"
#include "demo_data/demo_data.hpp"
#include "ui/art_resources.hpp"
#include "ui/drive_session.hpp"
#include "ui/driving_window.hpp"
#include "ui/help_window.hpp"
#include "ui/title_window.hpp"
#include "ui/value_display.hpp"

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool save(QWidget& w, const std::string& file) {
    // 256 colours keep the documentation pictures small.
    const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
    const bool ok = shot.save(QString::fromStdString(file), "PNG", 0);
    std::cout << (ok ? "wrote " : "cannot write ") << file << "\n";
    return ok;
}

// At speed, with a signal aspect and a speed limit on show.
bool wanted_moment(const vantrel::Run& run) {
    return run.core.Speed > 40 * 10000 && run.view.SignalImage >= 0 && run.view.SpeedLimitImage >= 0 &&
           run.view.SpeedLimitImage_visible;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::cerr << "usage: vantrel-screenshots OUTPUT_DIR DATA_DIR [TRAIN ROUTE]\n";
        return 64;
    }
    QApplication app(argc, argv);
    vantrel::init_art_resources();
    QApplication::setOrganizationName("VantrelScreenshots");
    const std::string out = argv[1];
    const std::filesystem::path data = argv[2];
    auto report = [](const QString& text) { std::cerr << text.toStdString() << "\n"; };
    vantrel::ValueDisplay values;
    vantrel::HelpWindow help;
    int failures = 0;

    vantrel::TitleSetup setup;
    setup.data_dir = data;
    setup.program_dir = data;
    setup.report_error = report;
    setup.value_display = &values;
    setup.help = &help;
    if (auto title = vantrel::TitleWindow::create(setup)) {
        title->show();
        title->end_movie();
        settle(1200);
        failures += !save(*title, out + "/title.png");
    } else {
        ++failures;
    }

    vantrel::DriveRequest request;
    request.data_dir = data;
    request.train = argc == 5 ? argv[3] : vantrel::demo::kTrainFile;
    request.route = argc == 5 ? argv[4] : vantrel::demo::kRouteFile;
    vantrel::DriveHooks hooks;
    hooks.report_error = report;
    hooks.value_display = &values;
    hooks.help = &help;
    QElapsedTimer opening;
    opening.start();
    auto window = vantrel::DrivingWindow::open(request, std::move(hooks), vantrel::make_back_ends());
    if (!window) return 1;
    window->show();
    QCoreApplication::processEvents();
    std::cout << "driving window shown " << opening.elapsed() << " ms after the train was chosen\n";
    settle(300);
    failures += !save(*window, out + "/driving_start.png");

    // A drive in virtual time: release, wait for the doors, power up to line speed and coast,
    // stopped at the first step that shows the wanted moment.
    int64_t now = 0;
    vantrel::DriveSession& session = window->session();
    session.set_clock([&now] { return now; });
    vantrel::Run& run = window->run();
    now = 1000;
    window->item("start1")->trigger();
    session.key('5');
    bool found = false;
    for (now = 1100; now < 30 * 60 * 1000 && !found; now += 100) {
        session.catch_up();
        const int64_t speed = run.core.Speed / 10000;
        if (!run.core.TractionCut && run.core.PowerHandle == 0 && speed < 55) {
            for (int i = 0; i < 4; ++i) session.key('z');
        } else if (speed > 75 && run.core.PowerHandle > 0) {
            session.key('5');
        }
        if (run.core.AtsEmergency || run.core.BrakeHandle < 0) session.key(' ');
        found = wanted_moment(run);
    }
    if (!found) std::cerr << "vantrel-screenshots: the drive never showed a signal and a limit at speed\n";
    // The run's clock stands from here: the redraw asks the film for this very frame.
    settle(600);
    window->redraw();
    settle(1000);
    failures += !save(*window, out + "/driving_speed.png");
    session.virtual_key(vantrel::VirtualKey::F5, false);
    session.catch_up();
    values.update_values(window->run());
    settle(300);
    failures += !save(values, out + "/value_display.png");
    return failures == 0 ? 0 : 1;
}
