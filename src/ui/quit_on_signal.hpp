#pragma once
// SIGTERM, SIGINT and SIGHUP end the event loop as the player's closing would, so the
// windows are torn down in order and a drive's record and trace are written whole.
#include <memory>

#include <QObject>
#include <QSocketNotifier>

namespace vantrel {

// Blocks the three signals for this thread and every thread started after it: call before
// the application object exists. They are then read from a descriptor by QuitOnSignal.
void block_quit_signals();

class QuitOnSignal final : public QObject {
public:
    QuitOnSignal();
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;  // goes before the descriptor it watches
};

}  // namespace vantrel
