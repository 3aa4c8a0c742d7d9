// Cost of one log drain into the view and the log window as the log grows:
// inserting at the end against rewriting the whole text, same process.
// The widgets are the window's own (its form and the log window), shown, and
// each drain counts the events it leaves behind until the loop is idle again.
// Usage: bench_log_drain [total lines, default 1000000] (QT_QPA_PLATFORM=offscreen).

#include <QApplication>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/LogText.h"
#include "ui/LogWindow.h"
#include "ui_mainwindow.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int LinesPerDrain = 1000;
constexpr double TargetMilliseconds = 16.0;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QString drainText(int first) {
    QString text;
    for (int line = first; line < first + LinesPerDrain; ++line)
        text += QStringLiteral("line %1 of the run's log\n").arg(line);
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int total = argc > 1 ? std::atoi(argv[1]) : 1000000;

    QMainWindow window;
    Ui::MainWindow form;
    form.setupUi(&window);
    LogWindow logWindow(&window);
    window.show();
    logWindow.show();
    application.processEvents();
    QPlainTextEdit* view = form.LuaLog;
    QTextBrowser* mirror = logWindow.logText();

    std::vector<double> drains;
    for (int first = 0; first < total; first += LinesPerDrain) {
        const QString text = drainText(first);
        const auto start = Clock::now();
        appendAtEndInFewParagraphs(mirror->document(), text);
        appendAtEnd(view->document(), text);
        application.processEvents();
        drains.push_back(millisecondsSince(start));
    }
    const double first = drains.front();  // includes the fonts' one-time set-up
    const double last = drains.back();
    std::sort(drains.begin(), drains.end());
    const double worst = drains.back();
    const auto over = drains.end() - std::upper_bound(drains.begin(), drains.end(), TargetMilliseconds);
    std::printf("insert at end: %d lines, worst drain %.2f ms, median %.2f ms, 99th %.2f ms, first %.2f ms, "
                "last %.2f ms, %d of %zu drains over %.0f ms\n",
                total, worst, drains[drains.size() / 2], drains[drains.size() * 99 / 100], first, last,
                static_cast<int>(over), drains.size(), TargetMilliseconds);

    // Baseline: one whole rewrite of both at the final size.
    const QString whole = view->toPlainText() + drainText(total);
    const auto start = Clock::now();
    view->setPlainText(whole);
    mirror->setPlainText(whole);
    application.processEvents();
    const double rewrite = millisecondsSince(start);
    std::printf("whole rewrite at that size: %.2f ms; ratio worst insert / rewrite = %.4f\n", rewrite,
                worst / rewrite);
    return worst < TargetMilliseconds ? 0 : 1;
}
