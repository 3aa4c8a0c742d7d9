#include "StopSignals.h"

#include <QSocketNotifier>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace cli {

namespace {

// The signals are blocked in every thread and read from a descriptor, so no
// handler (and no process-wide state for one) is needed.
sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    const sigset_t set = stopSet();
    blocked_ = pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

// The requests stay blocked: one that comes while the process ends (a
// second Ctrl+C after the run stopped) must not kill it halfway through.
StopSignals::~StopSignals() {
    delete notifier_;
    if (descriptor_ >= 0) close(descriptor_);
}

bool StopSignals::start(Handler handler, QString* error) {
    if (!blocked_) {
        *error = QStringLiteral("cannot block SIGINT and SIGTERM");
        return false;
    }
    const sigset_t set = stopSet();
    descriptor_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor_ < 0) {
        *error = QStringLiteral("cannot read SIGINT and SIGTERM: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    handler_ = std::move(handler);
    notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::readPending);
    return true;
}

void StopSignals::readPending() {
    signalfd_siginfo info;
    while (read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        handler_(info.ssi_signo == SIGTERM ? TerminateStatus : InterruptStatus);
}

}  // namespace cli
