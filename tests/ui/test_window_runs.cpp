// Runs started and stopped through the window, and what its log shows.
// The log window is open: a hidden one holds nothing.

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <memory>

#include "WindowFixture.h"
#include "script/Thread.h"
#include "tests/script/RunHarness.h"
#include "ui/LogLimits.h"
#include "ui/LogWindow.h"

namespace {

class WindowRuns : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        click("OpenLogWindow");
    }
    QString log() { return widget<QPlainTextEdit>("LuaLog")->toPlainText(); }
    QString mirror() { return window.logWindowWidget()->logText()->toPlainText(); }
    QAbstractButton* box(const char* name) { return widget<QAbstractButton>(name); }

    // Runs a script file through the Running box.
    void play(const std::string& script) {
        path = QString::fromStdString(writeScriptFile("run.lua", script));
        widget<QRadioButton>("UseScript")->setChecked(true);
        widget<QLineEdit>("ScriptLocation")->setText(path);
        box("Running")->setChecked(true);
    }
    bool waitForEnd() {
        return QTest::qWaitFor([&] { return !box("Running")->isChecked(); }, 5000);
    }
    bool waitForLog(const QString& text) {
        return QTest::qWaitFor([&] { return log().contains(text); }, 5000);
    }
    QPlainTextEdit* view() { return widget<QPlainTextEdit>("LuaLog"); }

    QString path;
};

TEST_F(WindowRuns, ARunShowsItsLinesAndEndsByItself) {
    play("Log('hello')\nLog(' world\\n')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log(), "-- Loading: " + path + "\nhello world\n-- Finished executing: " + path + "\n\n");
    EXPECT_EQ(mirror(), log());
    EXPECT_FALSE(log().contains("Execution Stopped"));
}

TEST_F(WindowRuns, TheTableRunsWhenTableModeIsOn) {
    addRow("A", 1);
    box("Running")->setChecked(true);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(log().startsWith("-- Loading")) << log().toStdString();
    EXPECT_FALSE(platform.sentInputs().empty());
}

TEST_F(WindowRuns, OsExitEndsTheRunPastPcallAndTheProgramGoesOn) {
    play("Log('a\\n')\npcall(os.exit, 3)\nLog('never')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log(), "-- Loading: " + path + "\na\n-- Script called os.exit(3): run ended\n\n");
    EXPECT_EQ(window.runs().current()->exitStatus(), 3);
}

// A table file from elsewhere whose cells would be Lua code in the run's text.
TEST_F(WindowRuns, ATableWithRowsThatCannotBePlayedNeitherRunsNorBecomesAScript) {
    QTemporaryDir dir;
    const QString ran = dir.filePath("ran");
    QFile file(dir.filePath("hostile.table"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A:Hit:1\n'touch " + ran.toUtf8() + "':os.execute:0\nA:Hit:nan\n");
    file.close();
    window.loadTableFile(file.fileName());
    ASSERT_EQ(rows().size(), 3);

    box("Running")->setChecked(true);
    EXPECT_FALSE(box("Running")->isChecked());
    EXPECT_EQ(window.runs().current(), nullptr);
    EXPECT_TRUE(enabled("Table"));
    EXPECT_EQ(log(), "-- Table not played, row 2: Key is not a known key name\n"
                     "-- Table not played, row 3: Delay (ms) is not a number of 0 or more\n");

    bool asked = false;
    window.setFileDialogs(
        [&](QWidget*, const QString&, const QString&, const QString&) {
            asked = true;
            return dir.filePath("t.lua");
        },
        nullptr);
    click("ConvertTableToScript");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Table not saved as a script");
    EXPECT_EQ(boxes[0].text, "These rows cannot be played, so the table was not saved as a script:\n"
                             "row 2: Key is not a known key name\n"
                             "row 3: Delay (ms) is not a number of 0 or more");
    EXPECT_FALSE(asked);
    EXPECT_FALSE(QFile::exists(dir.filePath("t.lua")));
    EXPECT_TRUE(widget<QRadioButton>("UseTable")->isChecked());

    QTest::qWait(200);
    EXPECT_TRUE(platform.sentInputs().empty());
    EXPECT_FALSE(QFile::exists(ran));
}

TEST_F(WindowRuns, TextFromTwoDrainsJoinsWithoutALineBreak) {
    play("Log('a')\nMilliSleep(350)\nLog('b')\n");
    ASSERT_TRUE(waitForLog("\na"));
    // The temporary path may hold any letter; look only at what follows the loading line.
    EXPECT_TRUE(log().endsWith("\na")) << log().toStdString();
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(log().contains("\nab-- Finished")) << log().toStdString();
    EXPECT_EQ(mirror(), log());
}

TEST_F(WindowRuns, StoppingShowsThePendingTextThenTheStopLineAndNothingLater) {
    play("Log('before\\n')\nwhile true do end\n");
    ASSERT_TRUE(waitForLog("before"));
    box("Running")->setChecked(false);
    EXPECT_TRUE(log().endsWith("before\n-- Execution Stopped\n\n")) << log().toStdString();
    const QString shown = log();
    QTest::qWait(300);
    EXPECT_EQ(log(), shown);
    EXPECT_EQ(mirror(), shown);
}

TEST_F(WindowRuns, WithLoggingOffNothingIsShown) {
    box("checkBox")->setChecked(false);
    play("Log('quiet\\n')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log(), "");
}

TEST_F(WindowRuns, ClearLogOnPlayDecidesWhetherOldLinesStay) {
    widget<QPlainTextEdit>("LuaLog")->setPlainText("old\n");
    play("Log('x')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(log().contains("old"));

    box("ClearLogOnPlay")->setChecked(false);
    widget<QPlainTextEdit>("LuaLog")->setPlainText("old\n");
    EXPECT_EQ(mirror(), "old\n");
    play("Log('x')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(log().startsWith("old\n-- Loading")) << log().toStdString();
    EXPECT_EQ(mirror(), log());
}

TEST_F(WindowRuns, TheLogWindowShowsMarkupAsText) {
    play("Log('<b>bold</b> &amp;\\n')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(mirror().contains("<b>bold</b> &amp;")) << mirror().toStdString();
    click("ClearLog");
    EXPECT_EQ(log(), "");
    EXPECT_EQ(mirror(), "");
}

TEST_F(WindowRuns, ABurstOfLinesComesInBoundedStepsKeepsTheRecentLinesAndSavesThemAll) {
    constexpr int Lines = 150000;
    window.logWindowWidget()->close();
    // Each insertion into the view is one step of bounded work; the window
    // handles its events between steps (the stall itself is timed in
    // bench_log_drain).
    int mostLinesInAStep = 0, hiddenMirrorBlocks = 0;
    QTextDocument* document = view()->document();
    QObject::connect(document, &QTextDocument::contentsChange, [&](int from, int, int added) {
        QTextCursor range(document);
        range.setPosition(from);
        range.setPosition(std::min(from + added, document->characterCount() - 1), QTextCursor::KeepAnchor);
        mostLinesInAStep = std::max(mostLinesInAStep, range.selectedText().count(QChar::ParagraphSeparator));
        hiddenMirrorBlocks = std::max(hiddenMirrorBlocks, window.logWindowWidget()->logText()->blockCount());
    });
    play("Log('start\\n')\nfor i = 1, " + std::to_string(Lines) + " do Log(i .. '\\n') end\n");
    const QString end = QString::number(Lines) + "\n-- Finished executing: " + path + "\n\n";
    ASSERT_TRUE(QTest::qWaitFor([&] { return log().endsWith(end); }, 120000)) << log().right(200).toStdString();

    EXPECT_GT(mostLinesInAStep, 0);
    EXPECT_LE(mostLinesInAStep, LogStepLines);
    EXPECT_EQ(hiddenMirrorBlocks, 1);  // empty while hidden
    EXPECT_EQ(view()->blockCount(), LogLineLimit);
    EXPECT_TRUE(log().startsWith(QString::number(Lines - LogLineLimit + 4) + "\n")) << log().left(50).toStdString();

    click("OpenLogWindow");
    ASSERT_TRUE(QTest::qWaitFor([&] { return mirror().endsWith(end); }, 60000));
    EXPECT_EQ(mirror(), log());

    QTemporaryDir folder;
    const QString saved = folder.filePath("log.txt");
    const MainWindow::FileDialog answer = [&](QWidget*, const QString&, const QString&, const QString&) {
        return saved;
    };
    window.setFileDialogs(answer, answer);
    click("SaveLogAsText");
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QString all = "-- Loading: " + path + "\nstart\n";
    for (int line = 1; line <= Lines; ++line) all += QString::number(line) + '\n';
    all += "-- Finished executing: " + path + "\n\n";
    EXPECT_TRUE(QString::fromUtf8(file.readAll()) == all);
}

TEST_F(WindowRuns, ALoopOfSyntaxErrorsStaysStoppable) {
    box("Loop")->setChecked(true);
    widget<QSpinBox>("Repeat")->setValue(0);
    play("this is not Lua\n");
    ASSERT_TRUE(waitForLog("Error "));
    // Let the errors pile up for a few drains.
    QTest::qWait(500);
    Thread* run = window.runs().current();
    box("Running")->setChecked(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !run->isRunning(); }, 5000));
    // A large rest comes in steps before the stop line.
    EXPECT_TRUE(QTest::qWaitFor([&] { return log().endsWith("-- Execution Stopped\n\n"); }, 30000))
        << log().right(200).toStdString();
    EXPECT_LE(view()->blockCount(), LogLineLimit);
}

TEST_F(WindowRuns, StartStopFlipsTheRunUnlessRecording) {
    box("Recording")->setChecked(true);
    click("StartStop");
    window.on_StartStop_clicked();
    EXPECT_FALSE(box("Running")->isChecked());
    box("Recording")->setChecked(false);
    widget<QRadioButton>("UseScript")->setChecked(true);
    widget<QLineEdit>("ScriptLocation")->setText(QString::fromStdString(writeScriptFile("w.lua", "while true do end")));
    click("StartStop");
    EXPECT_TRUE(box("Running")->isChecked());
    click("StartStop");
    EXPECT_FALSE(box("Running")->isChecked());
}

// A window of its own, running the script, for tests that destroy it.
std::unique_ptr<MainWindow> windowRunning(platform::FakePlatform& platform, const std::string& script) {
    initKeyNames();
    auto window = std::make_unique<MainWindow>(platform);
    window->findChild<QRadioButton*>("UseScript")->setChecked(true);
    window->findChild<QLineEdit*>("ScriptLocation")
        ->setText(QString::fromStdString(writeScriptFile("script.lua", script)));
    window->findChild<QAbstractButton*>("Running")->setChecked(true);
    return window;
}

TEST(WindowClose, ClosingDuringAnEndlessRunEndsCleanly) {
    platform::FakePlatform platform;
    auto window = windowRunning(platform, "while true do end");
    ASSERT_TRUE(window->runs().current()->isRunning() || QTest::qWaitFor([&] {
        return window->runs().current()->isRunning();
    }));
    const auto start = std::chrono::steady_clock::now();
    window->close();
    EXPECT_TRUE(window->isClosing());
    window.reset();
    EXPECT_LT(secondsSince(start), 2.0);
}

TEST(WindowClose, AClosingWindowWaitsForARunThatCannotStopAtOnce) {
    platform::FakePlatform platform;
    // Finalizers run with hooks off, so no stop reaches this one: the run
    // outlasts the second of grace.
    auto window = windowRunning(platform,
                                "setmetatable({}, {__gc = function() local t0 = os.clock() "
                                "while os.clock() - t0 < 1.8 do end end}) collectgarbage()");
    QTest::qWait(100);
    const auto start = std::chrono::steady_clock::now();
    window->close();
    window.reset();
    // Destruction waited for the run instead of deleting it under its feet.
    EXPECT_GE(secondsSince(start), 1.5);
}

}  // namespace
