#pragma once
// Holds off the screen saver and the screen's blanking through the freedesktop ScreenSaver
// service on the session bus (Inhibit / UnInhibit). Calls are asynchronous, so a slow or
// absent service never stalls the window thread.
#include <cstdint>
#include <optional>

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace vantrel {

class ScreenSaverInhibitor final : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;

    // True: hold the screen saver off (once); false: release it.
    void set_active(bool active);
    [[nodiscard]] bool holding() const { return cookie_.has_value(); }

Q_SIGNALS:
    void changed();  // a reply arrived

private:
    void release();

    QDBusConnection bus_;
    bool wanted_ = false;
    bool asking_ = false;  // an Inhibit call is on its way
    std::optional<uint32_t> cookie_;
};

}  // namespace vantrel
