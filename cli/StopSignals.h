#pragma once
// The terminal's and the system's requests to stop (SIGINT, SIGTERM and
// their kin elsewhere) turned into calls on the event loop's thread, so a
// headless run stops the same way the window's Stop does: nothing is done
// inside a signal handler, and every request, a repeated one too, only
// asks the run to stop.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace cli {

// The exit status after each request: 128 + the signal's number, as shells report it.
constexpr int InterruptStatus = 130;  // SIGINT, Ctrl+C
constexpr int TerminateStatus = 143;  // SIGTERM

class StopSignals : public QObject {
public:
    // Called with InterruptStatus or TerminateStatus for each request.
    using Handler = std::function<void(int status)>;

    // Takes the requests over from their default action (which would end
    // the process at once, keys held and all) for the rest of the process.
    // Construct before any other thread starts: they keep the requests away
    // from themselves.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Needs an event loop on this thread. False, with the reason, when the
    // requests could not be taken over.
    bool start(Handler handler, QString* error);

private:
    void readPending();

    Handler handler_;
    int descriptor_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    bool blocked_ = false;
};

}  // namespace cli
