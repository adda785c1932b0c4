#include "ui/serial_settings_dialog.hpp"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>

namespace vantrel {

namespace {

void add(QComboBox* box, const QString& text, int value) { box->addItem(text, value); }

void select(QComboBox* box, int value) {
    const int i = box->findData(value);
    if (i >= 0) box->setCurrentIndex(i);
}

}  // namespace

SerialSettings load_serial_settings() {
    SerialSettings s;
    QSettings store;
    store.beginGroup("serial");
    s.port_name = store.value("port", s.port_name).toString();
    s.baud_rate = store.value("baud", s.baud_rate).toInt();
    s.data_bits = static_cast<QSerialPort::DataBits>(store.value("data_bits", s.data_bits).toInt());
    s.parity = static_cast<QSerialPort::Parity>(store.value("parity", s.parity).toInt());
    s.stop_bits = static_cast<QSerialPort::StopBits>(store.value("stop_bits", s.stop_bits).toInt());
    s.flow_control = static_cast<QSerialPort::FlowControl>(store.value("flow_control", s.flow_control).toInt());
    if (s.baud_rate <= 0) s.baud_rate = SerialSettings{}.baud_rate;
    return s;
}

void save_serial_settings(const SerialSettings& s) {
    QSettings store;
    store.beginGroup("serial");
    store.setValue("port", s.port_name);
    store.setValue("baud", s.baud_rate);
    store.setValue("data_bits", static_cast<int>(s.data_bits));
    store.setValue("parity", static_cast<int>(s.parity));
    store.setValue("stop_bits", static_cast<int>(s.stop_bits));
    store.setValue("flow_control", static_cast<int>(s.flow_control));
}

SerialSettingsDialog::SerialSettingsDialog(const SerialSettings& current, QWidget* parent)
    : QDialog(parent),
      port_(new QComboBox(this)),
      baud_(new QComboBox(this)),
      data_bits_(new QComboBox(this)),
      parity_(new QComboBox(this)),
      stop_bits_(new QComboBox(this)),
      flow_(new QComboBox(this)) {
    setWindowTitle(tr("シリアルポート"));
    port_->setEditable(true);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) port_->addItem(info.portName());
    port_->setCurrentText(current.port_name);
    baud_->setEditable(true);
    baud_->setValidator(new QIntValidator(1, 4000000, baud_));
    for (int rate : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}) add(baud_, QString::number(rate), rate);
    baud_->setCurrentText(QString::number(current.baud_rate));
    for (int bits : {5, 6, 7, 8}) add(data_bits_, QString::number(bits), bits);
    select(data_bits_, current.data_bits);
    add(parity_, tr("なし"), QSerialPort::NoParity);
    add(parity_, tr("偶数"), QSerialPort::EvenParity);
    add(parity_, tr("奇数"), QSerialPort::OddParity);
    add(parity_, tr("スペース"), QSerialPort::SpaceParity);
    add(parity_, tr("マーク"), QSerialPort::MarkParity);
    select(parity_, current.parity);
    add(stop_bits_, "1", QSerialPort::OneStop);
    add(stop_bits_, "1.5", QSerialPort::OneAndHalfStop);
    add(stop_bits_, "2", QSerialPort::TwoStop);
    select(stop_bits_, current.stop_bits);
    add(flow_, tr("なし"), QSerialPort::NoFlowControl);
    add(flow_, tr("ハードウェア (RTS/CTS)"), QSerialPort::HardwareControl);
    add(flow_, tr("ソフトウェア (XON/XOFF)"), QSerialPort::SoftwareControl);
    select(flow_, current.flow_control);

    auto* form = new QFormLayout(this);
    form->addRow(tr("ポート"), port_);
    form->addRow(tr("通信速度"), baud_);
    form->addRow(tr("データビット"), data_bits_);
    form->addRow(tr("パリティ"), parity_);
    form->addRow(tr("ストップビット"), stop_bits_);
    form->addRow(tr("フロー制御"), flow_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SerialSettings SerialSettingsDialog::settings() const {
    SerialSettings s;
    s.port_name = port_->currentText().trimmed();
    bool ok = false;
    const int baud = baud_->currentText().toInt(&ok);
    if (ok && baud > 0) s.baud_rate = baud;
    s.data_bits = static_cast<QSerialPort::DataBits>(data_bits_->currentData().toInt());
    s.parity = static_cast<QSerialPort::Parity>(parity_->currentData().toInt());
    s.stop_bits = static_cast<QSerialPort::StopBits>(stop_bits_->currentData().toInt());
    s.flow_control = static_cast<QSerialPort::FlowControl>(flow_->currentData().toInt());
    return s;
}

}  // namespace vantrel
