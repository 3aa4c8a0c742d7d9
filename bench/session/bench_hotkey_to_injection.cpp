// Latency from a press of the run hotkey to the first event the run injects,
// through the whole program (backend hotkey, Qt loop, run thread, Lua), on a
// private Xvfb with the real X11 backend. The baseline, measured in the same
// run, is an XTest motion from another client reaching the same listener.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/ProgramSession.h"
#include "bench/support/RawEventWatcher.h"
#include "app/ProgramStart.h"
#include "input/KeyNames.h"
#include "platform/Platform.h"
#include "script/Thread.h"
#include "tests/support/XvfbServer.h"

// Xlib's macros (Bool, Status) break Qt headers included after them.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr int Samples = 50;
constexpr double TargetMs = 20.0;
constexpr auto GiveUp = std::chrono::seconds(3);
// Two pixels the runs alternate between, so every run really moves the pointer.
constexpr int TargetX[2] = {300, 700};
constexpr int TargetY = 200;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Services the Qt loop as the program does (blocked until something
// happens) until done() holds; false after GiveUp.
template <typename Done>
bool serviceUntil(Done done) {
    const auto end = Clock::now() + GiveUp;
    while (!done()) {
        if (Clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Figures {
    double median, p95, max;
};
Figures figuresOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[static_cast<size_t>(0.95 * (v.size() - 1))], v.back()};
}
void print(const char* what, const Figures& f) {
    std::printf("%-34s median %7.3f ms, p95 %7.3f ms, max %7.3f ms\n", what, f.median, f.p95, f.max);
}

}  // namespace

int main(int argc, char** argv) {
    XvfbServer server;
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    initKeyNames();
    QApplication application(argc, argv);
    std::string error;
    std::unique_ptr<platform::Platform> backend = openProgramPlatform({}, &error);
    if (!backend) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Display* presser = XOpenDisplay(nullptr);
    const KeyCode f4 = XKeysymToKeycode(presser, XK_F4);
    RawEventWatcher watcher(XI_RawMotion);
    std::vector<double> hotkey, baseline;
    int failures = 0;
    {
        ProgramSession session(*backend);
        MainWindow& window = session.window();
        QTemporaryDir folder;
        const QString path = folder.filePath("first.lua");
        window.findChild<QAbstractButton*>("UseScript")->setChecked(true);
        window.findChild<QLineEdit*>("ScriptLocation")->setText(path);
        QAbstractButton* running = window.findChild<QAbstractButton*>("Running");
        auto pressF4 = [&] {
            XTestFakeKeyEvent(presser, f4, True, CurrentTime);
            XTestFakeKeyEvent(presser, f4, False, CurrentTime);
            XFlush(presser);
        };
        // Settle: the window mapped and drawn, its first drains done.
        serviceUntil([] { return false; });

        for (int i = 0; i < Samples; ++i) {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray("SetMousePosition(") + QByteArray::number(TargetX[i % 2]) + ", " +
                       QByteArray::number(TargetY) + ")\nwhile true do MilliSleep(5) end\n");
            file.close();

            watcher.arm();
            const auto start = Clock::now();
            pressF4();
            if (!serviceUntil([&] { return watcher.seen(); })) {
                ++failures;
                continue;
            }
            hotkey.push_back(ms(watcher.when() - start));

            pressF4();
            if (!serviceUntil([&] {
                    Thread* run = window.runs().current();
                    return !running->isChecked() && !(run && run->isRunning());
                }))
                ++failures;

            // Baseline: the same listener, an XTest motion from another client.
            watcher.arm();
            const auto direct = Clock::now();
            XTestFakeMotionEvent(presser, 0, TargetX[(i + 1) % 2] + 1, TargetY, CurrentTime);
            XFlush(presser);
            if (!serviceUntil([&] { return watcher.seen(); })) ++failures;
            else baseline.push_back(ms(watcher.when() - direct));
        }
    }
    XCloseDisplay(presser);
    backend.reset();

    if (hotkey.empty() || baseline.empty()) {
        std::fprintf(stderr, "no run injected anything (%d failures)\n", failures);
        return 1;
    }
    const Figures h = figuresOf(hotkey), b = figuresOf(baseline);
    std::printf("%d samples, %d failures\n", Samples, failures);
    print("hotkey press -> first injection:", h);
    print("baseline XTest motion -> listener:", b);
    std::printf("median / target (%.0f ms): %.3f; median / baseline: %.1f x\n", TargetMs, h.median / TargetMs,
                h.median / b.median);
    const bool met = h.median <= TargetMs && failures == 0;
    std::printf("target %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
