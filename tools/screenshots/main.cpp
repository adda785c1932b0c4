// vantrel-screenshots: opens the windows on a data folder, drives the demo run to a
// moment at speed with a signal and a speed limit shown, and saves the windows as PNGs.
#include <fstream>
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
#include "vantrel_sim/script.hpp"

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool save(QWidget& w, const std::string& file) {
    const bool ok = w.grab().save(QString::fromStdString(file));
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
    if (argc != 3) {
        std::cerr << "usage: vantrel-screenshots OUTPUT_DIR DATA_DIR\n";
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
    request.train = vantrel::demo::kTrainFile;
    request.route = vantrel::demo::kRouteFile;
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

    // The demo drive in virtual time, stopped at the first step that shows the wanted moment.
    std::ifstream script(data / vantrel::demo::kScriptFile);
    auto commands = vantrel::sim::parse_script(script, vantrel::demo::kScriptFile);
    if (!commands) return 1;
    int64_t now = 0;
    vantrel::DriveSession& session = window->session();
    session.set_clock([&now] { return now; });
    size_t next = 0;
    bool found = false;
    for (now = 0; now < 600000 && !found; now += 100) {
        while (next < commands.value().size() && commands.value()[next].time_ms <= now) {
            const auto& c = commands.value()[next++];
            const int64_t at = now;
            now = c.time_ms;
            if (std::holds_alternative<vantrel::sim::StartCommand>(c.action)) window->item("start1")->trigger();
            if (const auto* k = std::get_if<vantrel::sim::KeyCommand>(&c.action)) session.key(k->key);
            if (const auto* v = std::get_if<vantrel::sim::VirtualKeyCommand>(&c.action)) session.virtual_key(v->key, v->shift);
            if (const auto* w = std::get_if<vantrel::sim::WheelCommand>(&c.action)) session.wheel(w->up);
            now = at;
        }
        session.catch_up();
        found = wanted_moment(window->run());
    }
    if (!found) std::cerr << "vantrel-screenshots: the drive never showed a signal and a limit at speed\n";
    settle(300);
    failures += !save(*window, out + "/driving_speed.png");
    session.virtual_key(vantrel::VirtualKey::F5, false);
    session.catch_up();
    values.update_values(window->run());
    settle(300);
    failures += !save(values, out + "/value_display.png");
    return failures == 0 ? 0 : 1;
}
