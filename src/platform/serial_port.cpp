#include "platform/serial_port.hpp"

#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

#include "platform/device_access.hpp"

namespace vantrel {
namespace {

// When the failing call left no errno (the lock file, for instance), the nearest one.
int system_error_of(QSerialPort::SerialPortError error, int saved_errno) {
    if (saved_errno != 0) return saved_errno;
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError: return EACCES;
    case QSerialPort::OpenError: return EBUSY;
    default: return EIO;
    }
}

}  // namespace

QString open_error_text(int system_error) {
    return QStringLiteral("Unable to open com port (win error code: %1)").arg(system_error);
}

SerialPort::SerialPort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::read_available);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::on_error);
}

std::optional<QString> SerialPort::open() {
    if (port_.isOpen()) return std::nullopt;
    port_.setPortName(settings.port_name);
    port_.setBaudRate(settings.baud_rate);
    port_.setDataBits(settings.data_bits);
    port_.setParity(settings.parity);
    port_.setStopBits(settings.stop_bits);
    port_.setFlowControl(settings.flow_control);
    errno = 0;
    if (!port_.open(QIODevice::ReadWrite)) {
        const int code = system_error_of(port_.error(), errno);
        port_.clearError();
        return open_error_text(code) + permission_hint(code, settings.port_name);
    }
    lines_off();
    port_.clearError();
    Q_EMIT opened();
    return std::nullopt;
}

void SerialPort::lines_off() {
#ifdef Q_OS_UNIX
    // The kernel raises DTR and RTS as the tty opens; drop both in one call, the first thing
    // after the open, and clear HUPCL so that closing never moves them again. Pseudo-terminals
    // and some adapters have no modem lines and refuse the call; the port works without them.
    const int fd = static_cast<int>(port_.handle());
    int lines = TIOCM_DTR;
    if (settings.flow_control != QSerialPort::HardwareControl) lines |= TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);
    termios t{};
    if (::tcgetattr(fd, &t) == 0 && (t.c_cflag & HUPCL) != 0) {
        t.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
        ::tcsetattr(fd, TCSANOW, &t);
    }
#else
    if (settings.flow_control != QSerialPort::HardwareControl) port_.setRequestToSend(false);
    port_.setDataTerminalReady(false);
#endif
}

void SerialPort::close() {
    if (!port_.isOpen()) return;
    port_.close();
    Q_EMIT closed();
}

QString SerialPort::connect_or_disconnect(bool* failed) {
    if (failed) *failed = false;
    if (port_.isOpen()) {
        close();
        return QString::fromUtf8(kDisconnectText);
    }
    if (auto error = open()) {
        if (failed) *failed = true;
        return *error;
    }
    return QString::fromUtf8(kConnectText);
}

void SerialPort::read_available() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty()) Q_EMIT received(bytes);
}

void SerialPort::on_error(QSerialPort::SerialPortError error) {
    // The device went away (a USB adapter pulled out): close, or the read notifier spins.
    // A hung-up tty reads end-of-file, which Qt reports as a read error, not a resource one.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    if (!port_.isOpen()) return;
    close();
    // The error stays on the port otherwise, and the player is told as when the menu closes it.
    port_.clearError();
    Q_EMIT lost();
}

}  // namespace vantrel
