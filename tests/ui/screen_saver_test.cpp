// The screen saver is held off through a stand-in freedesktop ScreenSaver service on a
// private session bus of our own dbus-daemon.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>

#include "platform/screen_saver_inhibitor.hpp"
#include "ui_fixture.hpp"

namespace {

class StandInScreenSaver final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
public Q_SLOTS:
    uint Inhibit(const QString& application, const QString&) {
        calls << "Inhibit " + application;
        return ++last_;
    }
    void UnInhibit(uint cookie) { calls << "UnInhibit " + QString::number(cookie); }

private:
    uint last_ = 0;
};

// Runs the event loop until `done` or 5 s.
template <class F>
bool wait_for(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

TEST(ScreenSaver, IsHeldOnceWhileWantedAndReleasedWhenStoppedOrDestroyed) {
    vantrel::test::qt_app();
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        QDBusConnection service = QDBusConnection::connectToBus(address, "stand_in");
        ASSERT_TRUE(service.isConnected());
        StandInScreenSaver stand_in;
        ASSERT_TRUE(service.registerObject("/org/freedesktop/ScreenSaver", &stand_in, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService("org.freedesktop.ScreenSaver"));
        QDBusConnection client = QDBusConnection::connectToBus(address, "client");
        {
            vantrel::ScreenSaverInhibitor awake(client);
            awake.set_active(true);
            awake.set_active(true);  // asked once only
            ASSERT_TRUE(wait_for([&] { return awake.holding(); }));
            awake.set_active(true);
            awake.set_active(false);  // paused
            ASSERT_TRUE(wait_for([&] { return stand_in.calls.size() == 2; }));
            // Started and stopped again before the service answered: released on its answer.
            awake.set_active(true);
            awake.set_active(false);
            ASSERT_TRUE(wait_for([&] { return stand_in.calls.size() == 4; }));
            EXPECT_FALSE(awake.holding());
            awake.set_active(true);
            ASSERT_TRUE(wait_for([&] { return awake.holding(); }));
        }  // the window closes while the run goes
        ASSERT_TRUE(wait_for([&] { return stand_in.calls.size() == 6; }));
        EXPECT_EQ(stand_in.calls, QStringList({"Inhibit Vantrel", "UnInhibit 1", "Inhibit Vantrel", "UnInhibit 2",
                                               "Inhibit Vantrel", "UnInhibit 3"}));
        // Without the service nothing is held and nothing fails.
        service.unregisterService("org.freedesktop.ScreenSaver");
        vantrel::ScreenSaverInhibitor alone(client);
        alone.set_active(true);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_FALSE(alone.holding());
    }
    QDBusConnection::disconnectFromBus("stand_in");
    QDBusConnection::disconnectFromBus("client");
    daemon.kill();
    daemon.waitForFinished(2000);
}

#include "screen_saver_test.moc"
