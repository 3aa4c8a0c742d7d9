// How closely a replayed recording keeps the recorded time line: a
// recording of known event times is turned into its script and run by the
// real runner on a private Xvfb, and the arrival of every injected event is
// noted by an independent XInput2 client. Baseline in the same run: the same
// schedule played by a plain loop calling the platform directly.
//
// Usage: bench_replay_timing [seconds]   (default 30)

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "RawEventClock.h"
#include "input/KeyNames.h"
#include "platform/x11/X11Platform.h"
#include "recording/RecordingTranslation.h"
#include "script/ThreadManager.h"
#include "tests/support/XvfbServer.h"

// Last: Xlib defines names that clash with Qt's.
#include <X11/extensions/XInput2.h>

using namespace platform;
using Clock = RawEventClock::Clock;

namespace {

constexpr int DefaultSeconds = 30;
constexpr int FirstEventMs = 200;
constexpr int MinGapMs = 40, MaxGapMs = 160;
constexpr double TargetMedianMs = 2.0, TargetMaxMs = 10.0;
constexpr uint16_t KeyA = 0x41;
constexpr int Step = 3;  // pixels of each movement
// Time for the witness to see the last events after the sender is done.
constexpr auto SettleTime = std::chrono::milliseconds(300);

// One recorded event: press or release of A, or a move right or left, in turn.
struct Planned {
    int atMs;
    int kind;  // 0 press, 1 move right, 2 release, 3 move left
};

std::vector<Planned> plan(int seconds) {
    std::vector<Planned> events;
    unsigned seed = 12345;
    for (int at = FirstEventMs, i = 0; at < seconds * 1000; ++i) {
        events.push_back({at, i % 4});
        seed = seed * 1103515245u + 12345u;
        at += MinGapMs + static_cast<int>((seed >> 16) % (MaxGapMs - MinGapMs + 1));
    }
    return events;
}

QString recordsOf(const std::vector<Planned>& events) {
    QString records;
    for (const Planned& e : events) {
        switch (e.kind) {
        case 0: records += QString("%1,%2,%3:").arg(e.atMs).arg(MsgKeyDown).arg(KeyA); break;
        case 1: records += QString("%1,255,%2,0:").arg(e.atMs).arg(Step); break;
        case 2: records += QString("%1,%2,%3:").arg(e.atMs).arg(MsgKeyUp).arg(KeyA); break;
        default: records += QString("%1,255,%2,0:").arg(e.atMs).arg(-Step); break;
        }
    }
    return records;
}

struct Figures {
    size_t seen = 0;
    double medianGap = 0, maxGap = 0, maxDrift = 0;
    bool orderKept = true;
};

// Replayed against recorded: each gap between neighbours, and each event's
// offset from the first.
Figures compare(const std::vector<Planned>& planned, const std::vector<RawEventClock::Arrival>& seen) {
    static const int expectedType[] = {XI_RawKeyPress, XI_RawMotion, XI_RawKeyRelease, XI_RawMotion};
    Figures f;
    f.seen = seen.size();
    if (seen.size() != planned.size()) return f;
    std::vector<double> gaps;
    for (size_t i = 0; i < seen.size(); ++i) {
        f.orderKept = f.orderKept && seen[i].type == expectedType[planned[i].kind];
        const double offset = std::chrono::duration<double, std::milli>(seen[i].at - seen[0].at).count();
        f.maxDrift = std::max(f.maxDrift, std::fabs(offset - (planned[i].atMs - planned[0].atMs)));
        if (i == 0) continue;
        const double gap = std::chrono::duration<double, std::milli>(seen[i].at - seen[i - 1].at).count();
        gaps.push_back(std::fabs(gap - (planned[i].atMs - planned[i - 1].atMs)));
    }
    std::sort(gaps.begin(), gaps.end());
    f.medianGap = gaps[gaps.size() / 2];
    f.maxGap = gaps.back();
    return f;
}

void playDirectly(Platform& p, const std::vector<Planned>& events) {
    const uint16_t scan = p.scanCodeOfVirtualKey(KeyA);
    const Clock::time_point start = Clock::now();
    for (const Planned& e : events) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(e.atMs));
        if (e.kind % 2 == 0)
            p.sendInput(InputRecord::key({KeyA, scan, KeyScanCode | (e.kind == 2 ? KeyUp : 0u)}));
        else
            p.sendInput(InputRecord::pointer({e.kind == 1 ? Step : -Step, 0, 0, MouseMove}));
    }
}

void print(const char* name, const Figures& f, size_t planned) {
    std::printf("%-26s events %zu/%zu, order %s; gap difference median %6.3f ms, max %6.3f ms; drift max %6.3f ms\n",
                name, f.seen, planned, f.orderKept ? "kept" : "BROKEN", f.medianGap, f.maxGap, f.maxDrift);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultSeconds;
    XvfbServer server;
    QCoreApplication application(argc, argv);
    initKeyNames();
    std::string error;
    auto platform = X11Platform::open(&error);
    if (!platform) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::vector<Planned> events = plan(seconds);
    RawEventClock witness;

    QTemporaryDir folder;
    const QString path = folder.filePath("replay.lua");
    if (!writeRecordingScript(path, recordsOf(events))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    Figures replay;
    {
        ThreadManager runs(*platform);
        runs.startRun(path.toStdString(), true);
        runs.current()->wait();
        std::this_thread::sleep_for(SettleTime);
        replay = compare(events, witness.take());
    }
    playDirectly(*platform, events);
    std::this_thread::sleep_for(SettleTime);
    const Figures direct = compare(events, witness.take());

    std::printf("replay of %zu events over %d s\n", events.size(), seconds);
    print("recorded script, runner:", replay, events.size());
    print("baseline, plain loop:", direct, events.size());
    if (direct.medianGap > 0)
        std::printf("ratio runner/baseline:     median %.2f x, max %.2f x\n", replay.medianGap / direct.medianGap,
                    replay.maxGap / direct.maxGap);
    const bool met = replay.seen == events.size() && replay.orderKept && replay.medianGap <= TargetMedianMs &&
                     replay.maxGap <= TargetMaxMs;
    std::printf("target median <= %.0f ms, max <= %.0f ms: %s\n", TargetMedianMs, TargetMaxMs, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
