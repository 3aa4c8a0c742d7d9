// How closely a replayed recording keeps the recorded time line: a
// recording of known event times is turned into its script and run by the
// real runner on a private Xvfb, and the arrival of every injected event is
// noted by an independent XInput2 client. Baseline in the same run: the same
// schedule played by a plain loop calling the platform directly. The same
// recording is also replayed in the form scripts were written in before
// (a loop around os.clock and MicroSleep(1)) to compare what the waits cost
// in processor time per replayed second.
//
// Usage: bench_replay_timing [seconds]   (default 30)

#include <QCoreApplication>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <sys/resource.h>

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
// Processor time the replay may take per second replayed.
constexpr double TargetCpuMsPerSecond = 5.0;
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

// The script as it was written before: a polling loop before every event.
QString pollingScript(const QString& records) {
    QString script = recordingToScript(records);
    script.replace(QRegularExpression("local function waitUntil.*\nend\n",
                                      QRegularExpression::DotMatchesEverythingOption),
                   "local currentTime = os.clock()\n");
    script.replace(QRegularExpression("waitUntil\\(([^)]*)\\)\n"),
                   "while(currentTime - startTime)<\\1 do\nMicroSleep(1)\ncurrentTime = os.clock()\nend\n");
    return script;
}

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct Figures {
    size_t seen = 0;
    double cpuMsPerSecond = 0;
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
    std::printf("%-26s events %zu/%zu, order %s; gap difference median %6.3f ms, max %6.3f ms; drift max %6.3f ms; "
                "cpu %7.2f ms per replayed s\n",
                name, f.seen, planned, f.orderKept ? "kept" : "BROKEN", f.medianGap, f.maxGap, f.maxDrift,
                f.cpuMsPerSecond);
}

// Runs the script file by the real runner; its figures with the process's
// processor time per replayed second.
Figures replayScript(Platform& platform, RawEventClock& witness, const QString& path,
                     const std::vector<Planned>& events) {
    const double cpuBefore = processCpuMs();
    const Clock::time_point start = Clock::now();
    {
        ThreadManager runs(platform);
        runs.startRun(path.toStdString(), true);
        runs.current()->wait();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = processCpuMs() - cpuBefore;
    std::this_thread::sleep_for(SettleTime);
    Figures f = compare(events, witness.take());
    f.cpuMsPerSecond = cpu / seconds;
    return f;
}

bool writeScript(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
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
    const QString pollingPath = folder.filePath("replay-polling.lua");
    const QString records = recordsOf(events);
    if (!writeRecordingScript(path, records) || !writeScript(pollingPath, pollingScript(records))) {
        std::fprintf(stderr, "cannot write the scripts in %s\n", qPrintable(folder.path()));
        return 1;
    }
    const Figures replay = replayScript(*platform, witness, path, events);
    const Figures polling = replayScript(*platform, witness, pollingPath, events);
    const double cpuBefore = processCpuMs();
    const Clock::time_point start = Clock::now();
    playDirectly(*platform, events);
    Figures direct;
    const double directSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double directCpu = processCpuMs() - cpuBefore;
    std::this_thread::sleep_for(SettleTime);
    direct = compare(events, witness.take());
    direct.cpuMsPerSecond = directCpu / directSeconds;

    std::printf("replay of %zu events over %d s\n", events.size(), seconds);
    print("recorded script, runner:", replay, events.size());
    print("former polling script:", polling, events.size());
    print("baseline, plain loop:", direct, events.size());
    if (direct.medianGap > 0)
        std::printf("ratio runner/baseline:     median %.2f x, max %.2f x\n", replay.medianGap / direct.medianGap,
                    replay.maxGap / direct.maxGap);
    if (replay.cpuMsPerSecond > 0)
        std::printf("cpu ratio polling/runner:  %.1f x (runner/plain loop %.1f x)\n",
                    polling.cpuMsPerSecond / replay.cpuMsPerSecond,
                    direct.cpuMsPerSecond > 0 ? replay.cpuMsPerSecond / direct.cpuMsPerSecond : 0.0);
    const bool met = replay.seen == events.size() && replay.orderKept && replay.medianGap <= TargetMedianMs &&
                     replay.maxGap <= TargetMaxMs && replay.cpuMsPerSecond <= TargetCpuMsPerSecond;
    std::printf("target median <= %.0f ms, max <= %.0f ms, cpu <= %.0f ms per replayed s: %s\n", TargetMedianMs,
                TargetMaxMs, TargetCpuMsPerSecond, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
