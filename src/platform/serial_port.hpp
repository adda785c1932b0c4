#pragma once
// The serial master controller's port over Qt Serial Port. Received bytes arrive on the
// owning (window) thread through `received`; the driving window feeds them to RxChar.
#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <optional>

namespace vantrel {

inline constexpr char kConnectText[] = "Connect to controller.";
inline constexpr char kDisconnectText[] = "Disconnect from controller.";

// What the settings dialog edits; lasts while the program runs. Defaults: 19200 baud 8E1,
// no flow control. Port names as Qt spells them ("ttyUSB0", "COM3") or a device path.
struct SerialSettings {
#ifdef Q_OS_WIN
    QString port_name = QStringLiteral("COM1");
#else
    QString port_name = QStringLiteral("ttyS0");
#endif
    qint32 baud_rate = 19200;
    QSerialPort::DataBits data_bits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::EvenParity;
    QSerialPort::StopBits stop_bits = QSerialPort::OneStop;
    QSerialPort::FlowControl flow_control = QSerialPort::NoFlowControl;
};

// "Unable to open com port (win error code: N)" with the system's error number.
[[nodiscard]] QString open_error_text(int system_error);

class SerialPort final : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);

    SerialSettings settings;  // applied at the next open

    [[nodiscard]] bool is_open() const { return port_.isOpen(); }
    // Opens with `settings`, DTR and RTS held off from the first moment the program can
    // (a port that refuses modem-control calls, such as a pseudo-terminal, still counts as
    // open). nullopt on success, else the error text; the port then stays closed.
    std::optional<QString> open();
    void close();
    // The connect command: closes a connected port, opens a closed one. Returns the text
    // to show: kConnectText, kDisconnectText or the open error (then `failed` is set).
    QString connect_or_disconnect(bool* failed = nullptr);

Q_SIGNALS:
    void received(const QByteArray& bytes);  // one read of the port: one frame for RxChar
    void opened();
    void closed();
    // The device went away (an adapter pulled out) and the port was closed; it may be
    // opened again once the device is back.
    void lost();

private:
    void read_available();
    void lines_off();
    void on_error(QSerialPort::SerialPortError error);

    QSerialPort port_;
};

}  // namespace vantrel
