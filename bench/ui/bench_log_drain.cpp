// The window's log under bursts: real runs log 1000 (the baseline), 10k, 100k
// and 1M lines as fast as they can, and a 10 ms timer on the GUI thread
// measures the longest stall of the event loop from the start of the run
// until the view shows the run's last line. Also a million numbers on one
// line, a million lines with the log window shown, resident memory after a
// million lines, and Save Log's file holding every line.
// Usage: bench_log_drain (QT_QPA_PLATFORM=offscreen is set).
// Exits with 1 when a stall passes 100 ms or a saved log misses lines.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "ui/LogLimits.h"
#include "ui/LogWindow.h"
#include "ui/MainWindow.h"

namespace {

constexpr int TickMs = 10;
constexpr double StallTargetMs = 100.0;

struct Burst {
    double stallMs = 0;    // longest gap between ticks, less the interval
    double shownMs = 0;    // from the start until the last line is shown
    long rssKb = 0;        // after the burst
};

long residentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return -1;
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

class Bench {
public:
    Bench() : window(platform, recorder) {
        window.setFileDialogs([this](QWidget*, const QString&, const QString&, const QString&) { return saveTo; },
                              [](QWidget*, const QString&, const QString&, const QString&) { return QString(); });
        window.findChild<QAbstractButton*>("UseScript")->setChecked(true);
        window.show();
    }

    Burst run(const std::string& script, bool logWindowShown) {
        window.findChild<QAbstractButton*>("ClearLog")->click();
        if (logWindowShown)
            window.findChild<QAbstractButton*>("OpenLogWindow")->click();
        else
            window.logWindowWidget()->close();
        const QString path = folder.filePath("burst.lua");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(script.c_str());
        file.close();
        window.findChild<QLineEdit*>("ScriptLocation")->setText(path);
        const QString end = "-- Finished executing: " + path + "\n";
        QPlainTextEdit* view = window.findChild<QPlainTextEdit*>("LuaLog");

        Burst result;
        QEventLoop loop;
        QTimer tick;
        QElapsedTimer clock, sinceTick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            result.stallMs = std::max(result.stallMs, sinceTick.nsecsElapsed() / 1e6 - TickMs);
            sinceTick.start();
            // The finishing line, then the empty line after it.
            if (!window.isRunningChecked() &&
                (view->document()->lastBlock().previous().previous().text() + "\n").endsWith(end)) {
                result.shownMs = clock.nsecsElapsed() / 1e6;
                loop.quit();
            }
        });
        clock.start();
        sinceTick.start();
        tick.start(TickMs);
        window.setRunningChecked(true);
        loop.exec();
        result.rssKb = residentKb();
        return result;
    }

    // Lines of the saved log, or -1 when it could not be read.
    int savedLines() {
        saveTo = folder.filePath("saved.txt");
        window.findChild<QAbstractButton*>("SaveLogAsText")->click();
        QFile saved(saveTo);
        if (!saved.open(QIODevice::ReadOnly)) return -1;
        return static_cast<int>(saved.readAll().count('\n'));
    }

private:
    platform::FakePlatform platform;
    Recorder recorder;
    MainWindow window;
    QTemporaryDir folder;
    QString saveTo;
};

std::string lines(int count) {
    return "for i = 1, " + std::to_string(count) + " do Log(i .. '\\n') end\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    initKeyNames();
    Bench bench;
    bench.run(lines(1000), false);  // fonts' and the spool's one-time set-up

    bool met = true;
    const Burst baseline = bench.run(lines(1000), false);
    std::printf("baseline, 1000 lines: longest stall %.1f ms, shown after %.0f ms\n", baseline.stallMs,
                baseline.shownMs);
    auto report = [&](const char* name, const Burst& burst) {
        std::printf("%-36s longest stall %6.1f ms (%.1fx baseline), shown after %6.0f ms, RSS %ld MB\n", name,
                    burst.stallMs, burst.stallMs / std::max(baseline.stallMs, 0.1), burst.shownMs,
                    burst.rssKb / 1024);
        met = met && burst.stallMs <= StallTargetMs;
    };
    const long before = residentKb();
    report("10k lines", bench.run(lines(10000), false));
    report("100k lines", bench.run(lines(100000), false));
    const Burst million = bench.run(lines(1000000), false);
    report("1M lines", million);
    const int saved = bench.savedLines();
    // The loading line, a million lines, the finishing line and an empty one.
    const int wanted = 1000000 + 3;
    std::printf("Save Log after 1M lines: %d lines written of %d\n", saved, wanted);
    met = met && saved == wanted;
    report("1M lines, log window shown", bench.run(lines(1000000), true));
    report("1M numbers on one line, window shown", bench.run("for i = 1, 1000000 do Log(i) end\n", true));
    std::printf("resident memory: %ld MB after the 1000-line runs, %ld MB after 1M lines "
                "(view limit %d lines)\n",
                before / 1024, million.rssKb / 1024, LogLineLimit);
    std::printf("target: no stall over %.0f ms: %s\n", StallTargetMs, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
