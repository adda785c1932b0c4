#pragma once
// The serial master controller's port settings: a dialog to edit them, and their keeping
// between runs in the user's settings.
#include <QComboBox>
#include <QDialog>

#include "platform/serial_port.hpp"

namespace vantrel {

// The settings kept from the last run (the controller's defaults the first time).
[[nodiscard]] SerialSettings load_serial_settings();
void save_serial_settings(const SerialSettings& settings);

class SerialSettingsDialog final : public QDialog {
    Q_OBJECT

public:
    SerialSettingsDialog(const SerialSettings& current, QWidget* parent = nullptr);
    [[nodiscard]] SerialSettings settings() const;

private:
    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* data_bits_;
    QComboBox* parity_;
    QComboBox* stop_bits_;
    QComboBox* flow_;
};

}  // namespace vantrel
