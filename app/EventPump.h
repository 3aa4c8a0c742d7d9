#pragma once
// Brings the platform's captured events and hotkeys onto the GUI thread's
// event loop.

#include <QObject>

namespace platform {
class Platform;
}
class QSocketNotifier;

class EventPump : public QObject {
public:
    // Starts delivering the backend's pending events whenever it has some.
    explicit EventPump(platform::Platform& platform, QObject* parent = nullptr);

private:
    void drain();

    platform::Platform& platform_;
    QSocketNotifier* notifier_ = nullptr;
};
