// The serial port over a pseudo-terminal pair: bytes written to the master side arrive
// on the Qt event loop as one chunk each, go through RxChar and move the handles.
#include <gtest/gtest.h>

// The run first: Qt's "signals" keyword macro would mangle the route tables' member.
#include "controllers/controller_fixture.hpp"
#include "controllers/rx_char.hpp"
#include "input/keyboard.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/serial_port.hpp"
#include "test_support.hpp"

using namespace vantrel;

namespace {

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

struct SerialPtyTest : vantrel::test::ControllerFixture {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    std::unique_ptr<QCoreApplication> app;
    Fd master;
    std::string slave;

    void SetUp() override {
        ControllerFixture::SetUp();
        app = std::make_unique<QCoreApplication>(argc, argv);
        master.fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master.fd, 0);
        ASSERT_EQ(::grantpt(master.fd), 0);
        ASSERT_EQ(::unlockpt(master.fd), 0);
        slave = ::ptsname(master.fd);
        MasconTable& t = run.controllers.mascon;
        t.codes = {"P1   ", "P2   ", "P3   ", "P4   ", "P5   ", "P6   ", "N    ", "B1   ", "B2   ", "B3   "};
        t.count = 10;
        t.codes[20] = "HORN ";
        t.count = 22;
    }
    void send(std::string_view bytes) {
        ASSERT_EQ(::write(master.fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Runs the event loop until `done` holds, for at most two seconds.
    template <class Pred>
    bool wait_for(Pred done) {
        const QDeadlineTimer deadline(2000);
        while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
};

}  // namespace

TEST_F(SerialPtyTest, ReceivedCodesMoveTheHandles) {
    SerialPort port;
    port.settings.port_name = QString::fromStdString(slave);
    int chunks = 0;
    QObject::connect(&port, &SerialPort::received, [&](const QByteArray& bytes) {
        ++chunks;
        RxChar(run, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        drain_posted(run);
    });
    bool failed = true;
    EXPECT_EQ(port.connect_or_disconnect(&failed).toStdString(), "Connect to controller.");
    ASSERT_FALSE(failed);
    ASSERT_TRUE(port.is_open());

    set_handles(0, -8);
    send("P3   ");
    ASSERT_TRUE(wait_for([&] { return run.core.PowerHandle == 3; }));
    EXPECT_EQ(run.core.BrakeHandle, 0);
    EXPECT_EQ(run.controllers.value_caption, "P3   ");

    send("B2   ");
    ASSERT_TRUE(wait_for([&] { return run.core.BrakeHandle == -2; }));
    EXPECT_EQ(run.core.PowerHandle, 0);

    run.train.sound_horn = 4;
    send("HORN ");  // a posted "3" reaches AsciiDown
    ASSERT_TRUE(wait_for([&] { return snd.called("play 4"); }));
    EXPECT_EQ(chunks, 3);

    EXPECT_EQ(port.connect_or_disconnect(&failed).toStdString(), "Disconnect from controller.");
    EXPECT_FALSE(port.is_open());
}

TEST_F(SerialPtyTest, AMissingPortStaysClosedWithTheSystemErrorNumber) {
    SerialPort port;
    port.settings.port_name = QStringLiteral("/dev/vantrel-no-such-port");
    bool failed = false;
    EXPECT_EQ(port.connect_or_disconnect(&failed).toStdString(), "Unable to open com port (win error code: 2)");
    EXPECT_TRUE(failed);
    EXPECT_FALSE(port.is_open());
}

TEST_F(SerialPtyTest, CodesMergedInOneReadAllActAndASplitCodeMatchesNothing) {
    SerialPort port;
    port.settings.port_name = QString::fromStdString(slave);
    int chunks = 0;
    QObject::connect(&port, &SerialPort::received, [&](const QByteArray& bytes) {
        ++chunks;
        RxChar(run, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    });
    ASSERT_EQ(port.open(), std::nullopt);
    set_handles(0, 0);
    send("P3   B2   ");
    ASSERT_TRUE(wait_for([&] { return chunks == 1; }));
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(run.core.BrakeHandle, -2);

    send("P4");
    ASSERT_TRUE(wait_for([&] { return chunks == 2; }));
    send("   ");
    ASSERT_TRUE(wait_for([&] { return chunks == 3; }));
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(run.controllers.value_caption, "   ");

    // Codes ended by CR LF: each one acts, wherever the line end left it.
    send("P1   \r\nP3   \r\n");
    ASSERT_TRUE(wait_for([&] { return chunks == 4; }));
    EXPECT_EQ(run.core.PowerHandle, 3);
    send("\nB2   ");
    ASSERT_TRUE(wait_for([&] { return chunks == 5; }));
    EXPECT_EQ(run.core.BrakeHandle, -2);
}

TEST_F(SerialPtyTest, OpensWithTheSettingsAndTheModemLinesOff) {
    SerialPort port;
    port.settings.port_name = QString::fromStdString(slave);
    ASSERT_EQ(port.open(), std::nullopt);
    // The master side reads the terminal settings of the slave the port opened (a
    // pseudo-terminal keeps no parity).
    termios t{};
    ASSERT_EQ(::tcgetattr(master.fd, &t), 0);
    EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_cflag & HUPCL, 0u);  // closing does not move the lines either
    // A pseudo-terminal has no modem lines to show; where it has, they are off.
    int lines = 0;
    if (::ioctl(master.fd, TIOCMGET, &lines) == 0) {
        EXPECT_EQ(lines & (TIOCM_DTR | TIOCM_RTS), 0);
    }
}

// The adapter is reached through a fixed name, as a udev rule gives one; pulling it
// closes the port with a word to the player, and plugging it back lets it open again.
TEST_F(SerialPtyTest, APulledAdapterClosesThePortAndOpensAgainWhenBack) {
    vantrel::test::TempDir dir;
    const std::filesystem::path link = dir / "ttyMASCON";
    std::filesystem::create_symlink(slave, link);
    SerialPort port;
    port.settings.port_name = QString::fromStdString(link.string());
    int closed = 0, lost = 0;
    QObject::connect(&port, &SerialPort::closed, [&] { ++closed; });
    QObject::connect(&port, &SerialPort::lost, [&] { ++lost; });
    QObject::connect(&port, &SerialPort::received, [&](const QByteArray& bytes) {
        RxChar(run, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    });
    ASSERT_EQ(port.open(), std::nullopt);
    ::close(master.fd);  // the device goes away: reads fail from now on
    master.fd = -1;
    EXPECT_TRUE(wait_for([&] { return !port.is_open(); }));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(lost, 1);

    Fd back;
    back.fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(back.fd, 0);
    ASSERT_EQ(::grantpt(back.fd), 0);
    ASSERT_EQ(::unlockpt(back.fd), 0);
    std::filesystem::remove(link);
    std::filesystem::create_symlink(::ptsname(back.fd), link);
    bool failed = true;
    EXPECT_EQ(port.connect_or_disconnect(&failed).toStdString(), "Connect to controller.");
    EXPECT_FALSE(failed);
    set_handles(0, 0);
    ASSERT_EQ(::write(back.fd, "P2   ", 5), 5);
    EXPECT_TRUE(wait_for([&] { return run.core.PowerHandle == 2; }));
    EXPECT_EQ(port.connect_or_disconnect().toStdString(), "Disconnect from controller.");
    EXPECT_EQ(lost, 1);  // a closing by the menu is no loss
}
