#include "platform/screen_saver_inhibitor.hpp"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace vantrel {
namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";

}  // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() { release(); }

void ScreenSaverInhibitor::set_active(bool active) {
    wanted_ = active;
    if (!active) {
        release();
        return;
    }
    if (cookie_ || asking_ || !bus_.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
    call << QStringLiteral("Vantrel") << QStringLiteral("driving a train");
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        asking_ = false;
        const QDBusPendingReply<uint32_t> reply = *w;
        if (reply.isError()) return;  // no such service: the desktop decides
        cookie_ = reply.value();
        if (!wanted_) release();  // the run stopped while the call was on its way
        Q_EMIT changed();
    });
}

void ScreenSaverInhibitor::release() {
    if (!cookie_) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "UnInhibit");
    call << *cookie_;
    bus_.send(call);
    cookie_.reset();
}

}  // namespace vantrel
