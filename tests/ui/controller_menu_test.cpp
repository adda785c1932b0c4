// The controller menu: the remembered controller type, the debug caption, the serial
// controller's chunks and its settings kept between runs.
#include <QMenu>
#include <QSettings>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "app/run.hpp"
#include "ui/drive_session.hpp"
#include "ui/serial_settings_dialog.hpp"
#include "ui/value_display.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

using ControllerMenuTest = UiTest;

TEST_F(ControllerMenuTest, ChosenControllerIsCheckedAndRememberedForTheNextWindow) {
    QSettings().clear();
    {
        auto w = open_window();
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->item("COM11")->isChecked());
        w->item("COM31")->trigger();
        EXPECT_TRUE(w->item("COM31")->isChecked());
        EXPECT_FALSE(w->item("COM11")->isChecked());
        EXPECT_EQ(joystick.type, ControllerType::PlayStation);
    }
    joystick = {};
    auto next = open_window();
    ASSERT_TRUE(next);
    EXPECT_TRUE(next->item("COM31")->isChecked());
    EXPECT_EQ(joystick.type, ControllerType::PlayStation);
    next->item("COM11")->trigger();
    EXPECT_EQ(joystick.type, ControllerType::Standard);
}

TEST_F(ControllerMenuTest, DebugItemTogglesAndRestoresTheLineName) {
    auto w = open_window();
    ASSERT_TRUE(w);
    QAction* debug = w->item("debug1");
    debug->trigger();
    EXPECT_TRUE(debug->isChecked());
    EXPECT_TRUE(w->run().controllers.debug);
    w->run().view.caption = "X:1 Y:2";
    debug->trigger();
    EXPECT_FALSE(debug->isChecked());
    EXPECT_EQ(w->windowTitle().toStdString(), w->run().route.line_name);
}

TEST_F(ControllerMenuTest, SerialChunksDriveTheHandlesAndEchoOnTheValueDisplay) {
    auto w = open_window();
    ASSERT_TRUE(w);
    w->item("start1")->trigger();
    w->session().serial("PW003");
    EXPECT_EQ(w->run().core.PowerHandle, std::min(3, w->run().train.power_notches));
    EXPECT_EQ(w->run().core.BrakeHandle, 0);
    EXPECT_EQ(values.windowTitle().toStdString(), "PW003");
    w->session().serial("EMERG");
    EXPECT_EQ(w->run().core.PowerHandle, 0);
    EXPECT_EQ(w->run().core.BrakeHandle, -std::min(9, w->run().train.brake_notches));
}

// The port closes with the window; a pulled adapter closes it too, told as the menu's closing is.
TEST_F(ControllerMenuTest, TheSerialPortClosesWithTheWindowOrAPulledAdapter) {
    for (const bool pulled : {false, true}) {
        notes.clear();
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        auto w = open_window();
        ASSERT_TRUE(w);
        w->serial_port().settings.port_name = QString::fromUtf8(::ptsname(master));
        w->item("QXC1")->trigger();
        EXPECT_TRUE(w->serial_port().is_open());
        if (pulled) {
            ::close(master);
            EXPECT_TRUE(QTest::qWaitFor([&] { return notes.size() == 2; }, 2000));
            EXPECT_EQ(notes, (std::vector<std::string>{"Connect to controller.", "Disconnect from controller."}));
            EXPECT_FALSE(w->serial_port().is_open());
        } else {
            w->close();
            EXPECT_FALSE(w->serial_port().is_open());
            EXPECT_EQ(notes, std::vector<std::string>{"Connect to controller."});  // no word at the window's close
            ::close(master);
        }
    }
}

TEST_F(ControllerMenuTest, SerialSettingsKeepTheirValuesBetweenRuns) {
    QSettings().clear();
    const SerialSettings defaults = load_serial_settings();
    EXPECT_EQ(defaults.baud_rate, 19200);
    EXPECT_EQ(defaults.parity, QSerialPort::EvenParity);
    EXPECT_EQ(defaults.data_bits, QSerialPort::Data8);
    EXPECT_EQ(defaults.stop_bits, QSerialPort::OneStop);
    EXPECT_EQ(defaults.flow_control, QSerialPort::NoFlowControl);
    SerialSettings changed = defaults;
    changed.port_name = "ttyUSB3";
    changed.baud_rate = 9600;
    changed.parity = QSerialPort::NoParity;
    changed.stop_bits = QSerialPort::TwoStop;
    // The dialog shows what it is given and hands it back unchanged.
    SerialSettingsDialog dialog(changed);
    const SerialSettings shown = dialog.settings();
    EXPECT_EQ(shown.port_name, "ttyUSB3");
    EXPECT_EQ(shown.baud_rate, 9600);
    EXPECT_EQ(shown.parity, QSerialPort::NoParity);
    EXPECT_EQ(shown.stop_bits, QSerialPort::TwoStop);
    save_serial_settings(shown);
    const SerialSettings kept = load_serial_settings();
    EXPECT_EQ(kept.port_name, "ttyUSB3");
    EXPECT_EQ(kept.baud_rate, 9600);
    EXPECT_EQ(kept.parity, QSerialPort::NoParity);
    EXPECT_EQ(kept.stop_bits, QSerialPort::TwoStop);
    auto w = open_window();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->serial_port().settings.port_name, "ttyUSB3");
    QSettings().clear();
}

}  // namespace
}  // namespace vantrel::test
