#include "platform/calibration_store.hpp"

#include <QSettings>
#include <QString>

#include "controllers/controller_state.hpp"

namespace vantrel {

int read_calibration(std::array<int32_t, 16>& codes) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vantrel"),
                             QStringLiteral("dgcontroller"));
    int read = 0;
    for (std::string_view name : kCalibrationNames) {
        const QVariant value =
            settings.value(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        bool ok = false;
        const int v = value.toInt(&ok);
        if (!value.isValid() || !ok) break;
        codes[static_cast<size_t>(read++)] = v;
    }
    return read;
}

}  // namespace vantrel
