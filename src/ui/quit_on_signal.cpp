#include "ui/quit_on_signal.hpp"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace vantrel {
namespace {

sigset_t quit_signals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, s);
    return set;
}

}  // namespace

void block_quit_signals() {
    const sigset_t set = quit_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

QuitOnSignal::QuitOnSignal() {
    const sigset_t set = quit_signals();
    fd_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd_ < 0) return;  // the signals stay blocked: the program ends by its windows only
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        QCoreApplication::exit(0);  // every loop, a modal dialog's too, even before the main one runs
    });
}

QuitOnSignal::~QuitOnSignal() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace vantrel
