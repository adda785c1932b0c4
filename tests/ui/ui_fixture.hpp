#pragma once
// The window tests' fixture: an offscreen Qt application, the demo data set with title
// pictures and help text, and driving windows opened on it with captured error boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSettings>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "demo_data/demo_data.hpp"
#include "test_support.hpp"
#include "ui/art_resources.hpp"
#include "ui/driving_window.hpp"
#include "ui/help_window.hpp"
#include "ui/value_display.hpp"

namespace vantrel::test {

// The application lives from the first test to the end of the run and is torn down by
// the test environment, before the exit handlers (Qt's own globals) run.
class QtEnvironment final : public ::testing::Environment {
public:
    static QApplication& app() {
        if (!app_) {
            // A screen large enough for every zoom, unless a test chose its own offscreen screen.
            if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith("offscreen:")) {
                qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + write_screen_config(2048, 1536));
            }
            app_ = std::make_unique<QApplication>(argc_, argv_);
            init_art_resources();
            QApplication::setOrganizationName("VantrelTest");
        }
        return *app_;
    }
    void TearDown() override { app_.reset(); }

    // An offscreen platform configuration of one screen of this size (a file beside the tests').
    static QByteArray write_screen_config(int width, int height) {
        const auto file = std::filesystem::temp_directory_path() /
                          ("vantrel-screen-" + std::to_string(::getpid()) + "-" + std::to_string(width) + "x" +
                           std::to_string(height) + ".json");
        std::ofstream(file) << R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": )" << width
                            << R"(, "height": )" << height << "}]}\n";
        return QByteArray::fromStdString(file.string());
    }

private:
    static inline int argc_ = 1;
    static inline char name_[] = "test_ui";
    static inline char* argv_[] = {name_, nullptr};
    static inline std::unique_ptr<QApplication> app_;
};

// gtest owns the environments it is given.
inline ::testing::Environment* const qt_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

inline QApplication& qt_app() { return QtEnvironment::app(); }

class UiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qt_app();
        data_ = std::make_unique<TempDir>();
        ASSERT_EQ(demo::write_demo_data(data_->path()), "");
        std::filesystem::create_directories(data_->path() / "image" / "title");
        for (int i = 1; i <= 9; ++i) {
            QImage title(640, 480, QImage::Format_RGB32);
            title.fill(QColor(20 * i, 80, 160));
            title.save(QString::fromStdString((data_->path() / "image" / "title" / ("0" + std::to_string(i) + ".jpg")).string()), "JPG");
        }
        write_cp932(data_->path() / "operation.dat", "操作説明\nz: 力行\na: ブレーキ\n");
        write_cp932(data_->path() / "mascon.dat",
                    "PW001\nPW002\nPW003\nPW004\nPW005\nPW006\nNEUTR\nBR001\nBR002\nBR003\nBR004\nBR005\n"
                    "BR006\nBR007\nBR008\nEMERG\nREVFW\nREVNT\nREVBK\nKEY01\nKEY03\nKEY07\n#\n");
    }
    static void TearDownTestSuite() { data_.reset(); }
    void SetUp() override { QSettings().remove("view"); }  // every window opens at zoom 1, windowed

    [[nodiscard]] static const std::filesystem::path& data_dir() { return data_->path(); }

    // A driving window on the demo train and route (or the given files); nullptr on failure.
    std::unique_ptr<DrivingWindow> open_window(std::string train = demo::kTrainFile,
                                               std::string route = demo::kRouteFile, DriveRequest request = {},
                                               BackEnds back_ends = make_back_ends()) {
        request.data_dir = data_dir();
        request.train = std::move(train);
        request.route = std::move(route);
        DriveHooks hooks;
        hooks.report_error = [this](const QString& text) { errors.push_back(text.toStdString()); };
        hooks.status = [this](const QString& text) { statuses.push_back(text.toStdString()); };
        hooks.value_display = &values;
        hooks.help = &help;
        hooks.joystick_control = &joystick;
        hooks.inform = [this](const QString& text) { notes.push_back(text.toStdString()); };
        return DrivingWindow::open(request, std::move(hooks), std::move(back_ends));
    }

    std::vector<std::string> errors;
    std::vector<std::string> statuses;
    std::vector<std::string> notes;
    JoystickControl joystick;
    ValueDisplay values;
    HelpWindow help;

private:
    static inline std::unique_ptr<TempDir> data_;
};

}  // namespace vantrel::test
