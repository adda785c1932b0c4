// vantrel: the program a player runs. The title window, or with --train and --route the
// driving window at once.
#include <fstream>
#include <iostream>

#include <QApplication>
#include <QMessageBox>

#include "ui/app_options.hpp"
#include "ui/app_translation.hpp"
#include "ui/art_resources.hpp"
#include "ui/cab_speech.hpp"
#include "ui/data_set_dialog.hpp"
#include "platform/device_probe.hpp"
#include "ui/driving_window.hpp"
#include "ui/help_window.hpp"
#include "ui/title_window.hpp"
#include "ui/value_display.hpp"
#include "common/path_resolver.hpp"

int main(int argc, char** argv) {
    auto options = vantrel::parse_app_options(argc, argv, std::cerr);
    if (!options) return vantrel::kExitUsage;

    QApplication app(argc, argv);
    vantrel::init_art_resources();
    QApplication::setApplicationName("Vantrel");
    QApplication::setOrganizationName("Vantrel");
    QApplication::setWindowIcon(QIcon(":/art/vantrel.png"));
    vantrel::install_translation(app, QLocale());
    QGuiApplication::setDesktopFileName("io.github.vantrel.Vantrel");
    auto report = [](const QString& text) { QMessageBox::critical(nullptr, "Vantrel", text); };
    vantrel::report_missing_devices(std::cerr);

    std::optional<vantrel::PickedDataSet> picked;
    if (!options->data_dir_given) {
        picked = vantrel::pick_data_set(options->choose_data_set);
        if (!picked) return 0;  // the player quit
        options->data_dir = picked->dir.string();
    }

    const bool direct = !options->train.empty();
    vantrel::HelpWindow help;
    const vantrel::PathResolver resolver(options->data_dir);
    const auto operation = resolver.resolve("operation.dat");
    if (!operation || !help.load(*operation)) {
        if (!direct) {
            report(QString::fromUtf8("operation.datが見つかりません"));
            return 1;
        }
    }
    vantrel::ValueDisplay values;
    vantrel::JoystickControl joystick;  // outlives every driving window
    vantrel::SpeechSetup speech{options->speak, options->speech_log};
    if (!speech.log_file.empty() && !std::ofstream(speech.log_file, std::ios::binary | std::ios::trunc)) {
        std::cerr << "vantrel: cannot write " << speech.log_file << "\n";
        return vantrel::kExitUsage;
    }

    if (direct) {
        vantrel::DriveRequest request;
        request.data_dir = options->data_dir;
        request.train = options->train;
        request.route = options->route;
        request.record = options->record;
        request.trace = options->trace;
        request.timing_log = options->timing_log;
        vantrel::DriveHooks hooks;
        hooks.report_error = report;
        hooks.value_display = &values;
        hooks.help = &help;
        hooks.joystick_control = &joystick;
        hooks.speech = &speech;
        auto window = vantrel::DrivingWindow::open(request, std::move(hooks), vantrel::make_back_ends());
        if (!window) return vantrel::kExitDataError;
        if (picked && picked->chosen) vantrel::remember_data_set(picked->dir);
        QObject::connect(window.get(), &vantrel::DrivingWindow::closed, &app, &QApplication::quit,
                         Qt::QueuedConnection);
        window->show();
        return QApplication::exec();
    }

    vantrel::TitleSetup setup;
    setup.data_dir = options->data_dir;
    setup.program_dir = QCoreApplication::applicationDirPath().toStdString();
    setup.report_error = report;
    setup.value_display = &values;
    setup.help = &help;
    setup.joystick_control = &joystick;
    setup.speech = &speech;
    auto title = vantrel::TitleWindow::create(std::move(setup));
    if (!title) return 1;
    if (picked && picked->chosen) vantrel::remember_data_set(picked->dir);
    // The title window is the main window: closing it ends the program, whatever else is open.
    QApplication::setQuitOnLastWindowClosed(false);
    title->show();
    return QApplication::exec();
}
