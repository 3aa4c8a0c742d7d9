// Loading a table file into the window at the row limit: the GUI thread's CPU
// time and the memory it takes, against reading and splitting the same file
// alone (same process, same file). CPU time, because the machine may be shared;
// the GUI thread does the whole load, so on an idle machine it is the time the
// window is busy. The target: a load at the limit costs under two seconds.
// Usage: bench_table_load [rows, default the row limit] (QT_QPA_PLATFORM=offscreen).

#include <QApplication>
#include <QTemporaryDir>
#include <QTableWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <time.h>

#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "table/TableFile.h"
#include "ui/MainWindow.h"

namespace {

constexpr double TargetSeconds = 2.0;

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// Resident memory now, from the kernel's own count.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

// Rows of every kind the editor makes, in turn.
QByteArray tableText(int rows) {
    const char* const kinds[] = {"A:Hit:100\n", "MouseLeft:Press:20\n", "Mouse Position:100   200:0\n",
                                 "Scroll Down:1:100\n", "None::500\n"};
    QByteArray text;
    for (int row = 0; row < rows; ++row) text += kinds[row % 5];
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    initKeyNames();
    QApplication application(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : table::MaxTableRows;

    QTemporaryDir dir;
    const QString path = dir.filePath("big.table");
    const QByteArray text = tableText(rows);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 2;
        }
    }

    double start = threadSeconds();
    const table::TableFileRead read = table::readTableFile(path);
    const double readSeconds = threadSeconds() - start;
    if (!read.read || read.table.rows.size() != rows) {
        std::fprintf(stderr, "the file did not read: %s\n", qPrintable(read.failure));
        return 2;
    }

    platform::FakePlatform platform;
    Recorder recorder;
    MainWindow window(platform, recorder);
    window.show();
    application.processEvents();
    const long before = residentKiB();
    start = threadSeconds();
    window.loadTableFile(path);
    application.processEvents();
    const double loadSeconds = threadSeconds() - start;
    const long grown = residentKiB() - before;

    std::printf("rows: %d, file: %d bytes\n", rows, text.size());
    std::printf("read and split alone (baseline): %.3f s of CPU\n", readSeconds);
    std::printf("load into the window:            %.3f s of CPU (%.1f x the baseline)\n", loadSeconds,
                loadSeconds / readSeconds);
    std::printf("memory held by the loaded table:  %ld KiB (%.0f bytes a row, %.1f x the file)\n", grown,
                grown * 1024.0 / rows, grown * 1024.0 / text.size());
    const bool met = loadSeconds < TargetSeconds;
    std::printf("target (load under %.1f s): %s\n", TargetSeconds, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
