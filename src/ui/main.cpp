// vantrel: the program a player runs. The title window, or with --train and --route the
// driving window at once.
#include <fstream>
#include <iostream>
#include <string>

#include <QApplication>
#include <QMessageBox>

#include "common/path_resolver.hpp"
#include "common/program_info.hpp"
#include "platform/device_probe.hpp"
#include "ui/app_environment.hpp"
#include "ui/app_options.hpp"
#include "ui/app_translation.hpp"
#include "ui/art_resources.hpp"
#include "ui/cab_speech.hpp"
#include "ui/data_set_dialog.hpp"
#include "ui/driving_window.hpp"
#include "ui/help_window.hpp"
#include "ui/quit_on_signal.hpp"
#include "ui/title_window.hpp"
#include "ui/value_display.hpp"

namespace {

// The driving window at once on the named train and route, in the data folder given or
// the current one: how authors try a pair, so nothing is searched or chosen.
int drive_directly(const vantrel::AppOptions& options, vantrel::HelpWindow& help, vantrel::ValueDisplay& values,
                   vantrel::JoystickControl& joystick, const vantrel::SpeechSetup& speech,
                   const std::function<void(const QString&)>& report) {
    if (const auto operation = vantrel::PathResolver(options.data_dir).resolve("operation.dat")) help.load(*operation);
    vantrel::DriveRequest request;
    request.data_dir = options.data_dir;
    request.train = options.train;
    request.route = options.route;
    request.record = options.record;
    request.trace = options.trace;
    request.events = options.events;
    request.view = options.view;
    request.timing_log = options.timing_log;
    vantrel::DriveHooks hooks;
    hooks.report_error = report;
    hooks.value_display = &values;
    hooks.help = &help;
    hooks.joystick_control = &joystick;
    hooks.speech = &speech;
    auto window = vantrel::DrivingWindow::open(request, std::move(hooks), vantrel::make_back_ends());
    if (!window) return vantrel::kExitDataError;
    QObject::connect(window.get(), &vantrel::DrivingWindow::closed, qApp, &QApplication::quit, Qt::QueuedConnection);
    window->show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    auto usage = [&](std::ostream& o) {
        const char* const help[] = {argv[0], "--help", nullptr};
        (void)vantrel::parse_app_options(2, help, o);
    };
    if (const auto done = vantrel::answer_help_or_version(argc, argv, "vantrel", usage, std::cout)) return *done;
    auto options = vantrel::parse_app_options(argc, argv, std::cerr);
    if (!options) return vantrel::kExitUsage;

    vantrel::settle_environment();
    vantrel::block_quit_signals();
    QApplication app(argc, argv);
    const vantrel::QuitOnSignal quit_on_signal;
    vantrel::init_art_resources();
    QApplication::setApplicationName("Vantrel");
    QApplication::setOrganizationName("Vantrel");
    QApplication::setApplicationVersion(QString::fromStdString(std::string(vantrel::program_version())));
    QApplication::setWindowIcon(QIcon(":/art/vantrel.png"));
    vantrel::install_translation(app, QLocale());
    QGuiApplication::setDesktopFileName("io.github.vantrel.Vantrel");
    // While a searched set starts, its failures go back to the chooser instead of a box.
    QStringList start_failures;
    bool collecting = false;
    auto report = [&](const QString& text) {
        if (collecting) start_failures << text;
        else QMessageBox::critical(nullptr, "Vantrel", text);
    };
    vantrel::report_missing_devices(std::cerr);

    vantrel::ValueDisplay values;
    vantrel::JoystickControl joystick;  // outlives every driving window
    vantrel::SpeechSetup speech{options->speak, options->speech_log};
    if (!speech.log_file.empty() && !std::ofstream(speech.log_file, std::ios::binary | std::ios::trunc)) {
        std::cerr << "vantrel: cannot write " << speech.log_file << "\n";
        return vantrel::kExitUsage;
    }
    const bool direct = !options->train.empty();
    if (direct) {
        vantrel::HelpWindow help;
        return drive_directly(*options, help, values, joystick, speech, report);
    }

    bool ask = options->choose_data_set;
    std::optional<vantrel::FailedStart> failed;
    for (;;) {
        std::optional<vantrel::PickedDataSet> picked;
        if (!options->data_dir_given) {
            picked = vantrel::pick_data_set(ask, failed);
            if (!picked) return 0;  // the player quit
            options->data_dir = picked->dir.string();
            collecting = true;
            start_failures.clear();
        }
        vantrel::HelpWindow help;
        std::unique_ptr<vantrel::TitleWindow> title;
        const auto operation = vantrel::PathResolver(options->data_dir).resolve("operation.dat");
        if (!operation || !help.load(*operation)) {
            report(QCoreApplication::translate("main", "operation.datが見つかりません"));
        } else {
            vantrel::TitleSetup setup;
            setup.data_dir = options->data_dir;
            setup.program_dir = QCoreApplication::applicationDirPath().toStdString();
            setup.report_error = report;
            setup.value_display = &values;
            setup.help = &help;
            setup.joystick_control = &joystick;
            setup.speech = &speech;
            if (picked) setup.switch_data_set = [] { QCoreApplication::exit(vantrel::kExitSwitchDataSet); };
            title = vantrel::TitleWindow::create(std::move(setup));
        }
        collecting = false;
        if (!title) {
            if (!picked) return 1;
            // Back to the chooser, which says why; the set is no longer the remembered one.
            vantrel::forget_data_set(picked->dir);
            failed = vantrel::FailedStart{picked->dir, start_failures.join('\n')};
            continue;
        }
        failed.reset();
        if (picked) vantrel::remember_data_set(*picked);
        for (const QString& text : start_failures) report(text);  // not fatal, such as the opening movie's
        // The title window is the main window: closing it ends the program, whatever else is open.
        QApplication::setQuitOnLastWindowClosed(false);
        title->show();
        const int status = QApplication::exec();
        if (status != vantrel::kExitSwitchDataSet) return status;
        ask = true;
    }
}
