#include "EventPump.h"

#include <QSocketNotifier>
#include <QTimer>

#include "platform/Platform.h"

EventPump::EventPump(platform::Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform) {
    const int descriptor = platform_.eventDescriptor();
    if (descriptor < 0) return;  // events come through the native message loop
    notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EventPump::drain);
    // Events may already be queued client-side before the first wake-up.
    QTimer::singleShot(0, this, &EventPump::drain);
}

void EventPump::drain() { platform_.processPendingEvents(); }
