#include "StopSignals.h"

#include <QString>
#include <QTimer>
#include <atomic>
#include <windows.h>

namespace cli {

namespace {

// A console control handler takes no user data and runs on a thread of its
// own: it only notes the request, and the event loop picks it up.
std::atomic<int> pendingStatus{0};

BOOL WINAPI noteControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) pendingStatus = InterruptStatus;
    else if (type == CTRL_CLOSE_EVENT) pendingStatus = TerminateStatus;
    else return FALSE;
    return TRUE;
}

// How often the event loop looks for a noted request.
constexpr int ControlPollMs = 20;

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    blocked_ = SetConsoleCtrlHandler(noteControl, TRUE) != 0;
}

// The handler stays: a request while the process ends must not kill it
// halfway through.
StopSignals::~StopSignals() = default;

bool StopSignals::start(Handler handler, QString* error) {
    if (!blocked_) {
        *error = QStringLiteral("cannot handle Ctrl+C");
        return false;
    }
    handler_ = std::move(handler);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &StopSignals::readPending);
    timer->start(ControlPollMs);
    return true;
}

void StopSignals::readPending() {
    if (const int status = pendingStatus.exchange(0)) handler_(status);
}

}  // namespace cli
