// Runs started and stopped through the window, and what its log and log
// window show. The log window is open: a hidden one holds nothing.

#include <QTextCursor>
#include <QTextDocument>
#include <chrono>
#include <memory>

#include "WindowFixture.h"
#include "script/Thread.h"
#include "tests/script/RunHarness.h"
#include "ui/LogLimits.h"
#include "ui/LogWindow.h"

namespace {

class WindowRuns : public WindowFixture {
public:
    void SetUp() override {
        WindowFixture::SetUp();
        click("OpenLogWindow");
    }
    QString mirror() { return window.logWindowWidget()->logText()->toPlainText(); }
    void useScript(const std::string& script) {
        path = QString::fromStdString(writeScriptFile("run.lua", script));
        check("UseScript");
        widget<QLineEdit>("ScriptLocation")->setText(path);
    }
    void play(const std::string& script) {
        useScript(script);
        check("Running");
    }
    bool waitForEnd() { return QTest::qWaitFor([&] { return !checked("Running"); }, 5000); }
    bool waitForLog(const QString& text) { return QTest::qWaitFor([&] { return log().contains(text); }, 5000); }

    QString path;
};

TEST_F(WindowRuns, ARunShowsItsLinesAsTheyComeAndOsExitEndsItPastPcall) {
    widget<QPlainTextEdit>("LuaLog")->setPlainText("old\n");  // cleared on play by default
    play("Log('a')\nMilliSleep(350)\nLog('b\\n')\npcall(os.exit, 3)\nLog('never')\n");
    ASSERT_TRUE(waitForLog("\na"));
    EXPECT_TRUE(log().endsWith("\na")) << log().toStdString();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log(), "-- Loading: " + path + "\nab\n-- Script called os.exit(3): run ended\n\n");
    EXPECT_EQ(mirror(), log());
}

// A table file from elsewhere whose cells would be Lua code in the run's text.
TEST_F(WindowRuns, ATableWithRowsThatCannotBePlayedNeitherRunsNorBecomesAScript) {
    const QString ran = dir.filePath("ran");
    window.loadTableFile(file("hostile.table", "A:Hit:1\n'touch " + ran.toUtf8() + "':os.execute:0\nA:Hit:nan\n"));
    check("Running");
    EXPECT_FALSE(checked("Running"));
    EXPECT_EQ(window.runs().current(), nullptr);
    EXPECT_TRUE(enabled("Table"));
    EXPECT_EQ(log(), "-- Table not played, row 2: Key is not a known key name\n"
                     "-- Table not played, row 3: Delay (ms) is not a number of 0 or more\n");
    answer = dir.filePath("t.lua");
    click("ConvertTableToScript");
    EXPECT_EQ(boxes, QStringList("Table not saved as a script: These rows cannot be played, so the table was not "
                                 "saved as a script:\nrow 2: Key is not a known key name\n"
                                 "row 3: Delay (ms) is not a number of 0 or more"));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(checked("UseTable"));
    QTest::qWait(200);
    EXPECT_TRUE(platform.sentInputs().empty());
    EXPECT_FALSE(QFile::exists(ran));
}

TEST_F(WindowRuns, StartStopStartsAndStopsWithThePendingTextThenTheStopLineAndNothingLater) {
    useScript("Log('before\\n')\nwhile true do end\n");
    check("Recording");
    window.on_StartStop_clicked();  // the button is off while recording
    EXPECT_FALSE(checked("Running"));
    check("Recording", false);

    click("StartStop");
    ASSERT_TRUE(waitForLog("before"));
    click("StartStop");
    EXPECT_FALSE(checked("Running"));
    EXPECT_TRUE(log().endsWith("before\n-- Execution Stopped\n\n")) << log().toStdString();
    const QString shown = log();
    QTest::qWait(300);
    EXPECT_EQ(log(), shown);
    EXPECT_EQ(mirror(), shown);
}

TEST_F(WindowRuns, LogOptionsDecideWhatIsShownAndWhatStays) {
    check("ClearLogOnPlay", false);
    widget<QPlainTextEdit>("LuaLog")->setPlainText("old\n");
    play("Log('<b>bold</b> &amp;\\n')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(log().startsWith("old\n-- Loading")) << log().toStdString();
    EXPECT_TRUE(mirror().contains("\n<b>bold</b> &amp;\n")) << mirror().toStdString();
    EXPECT_EQ(mirror(), log());

    click("ClearLog");
    EXPECT_EQ(log() + mirror(), "");

    check("checkBox", false);
    play("Log('quiet\\n')\n");
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(log(), "");
}

TEST_F(WindowRuns, ABurstOfLinesComesInBoundedStepsKeepsTheRecentLinesAndSavesThemAll) {
    constexpr int Lines = 150000;
    window.logWindowWidget()->close();
    // Each insertion into the view is one step of bounded work; the stall
    // itself is timed in bench_log_drain.
    int mostLinesInAStep = 0, hiddenMirrorBlocks = 0;
    QTextDocument* document = widget<QPlainTextEdit>("LuaLog")->document();
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
    EXPECT_EQ(hiddenMirrorBlocks, 1);
    EXPECT_EQ(document->blockCount(), LogLineLimit);
    EXPECT_TRUE(log().startsWith(QString::number(Lines - LogLineLimit + 4) + "\n")) << log().left(50).toStdString();

    click("OpenLogWindow");
    ASSERT_TRUE(QTest::qWaitFor([&] { return mirror().endsWith(end); }, 60000));
    EXPECT_EQ(mirror(), log());

    answer = dir.filePath("log.txt");
    click("SaveLogAsText");
    QString all = "-- Loading: " + path + "\nstart\n";
    for (int line = 1; line <= Lines; ++line) all += QString::number(line) + '\n';
    EXPECT_TRUE(QString::fromUtf8(read(answer)) == all + "-- Finished executing: " + path + "\n\n");
}

TEST_F(WindowRuns, ALoopOfSyntaxErrorsStaysStoppable) {
    check("Loop");
    widget<QSpinBox>("Repeat")->setValue(0);
    play("this is not Lua\n");
    ASSERT_TRUE(waitForLog("Error "));
    QTest::qWait(500);  // let the errors pile up for a few drains
    Thread* run = window.runs().current();
    check("Running", false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !run->isRunning(); }, 5000));
    // A large rest comes in steps before the stop line.
    EXPECT_TRUE(QTest::qWaitFor([&] { return log().endsWith("-- Execution Stopped\n\n"); }, 30000))
        << log().right(200).toStdString();
    EXPECT_LE(widget<QPlainTextEdit>("LuaLog")->blockCount(), LogLineLimit);
}

// Closing runs the window's destructor while the run goes on.
TEST(WindowClose, AClosingWindowEndsAnEndlessRunAtOnceAndWaitsForOneThatCannotStop) {
    initKeyNames();
    const struct {
        const char* script;
        double least, most;  // seconds for close and destruction
    } cases[] = {
        {"while true do end", 0, 2.0},
        // Finalizers run with hooks off, so no stop reaches this one: the
        // run outlasts the second of grace.
        {"setmetatable({}, {__gc = function() local t0 = os.clock() while os.clock() - t0 < 1.8 do end end}) "
         "collectgarbage()",
         1.5, 10.0},
    };
    for (const auto& c : cases) {
        platform::FakePlatform platform;
        Recorder recorder;
        auto window = std::make_unique<MainWindow>(platform, recorder);
        window->findChild<QAbstractButton*>("UseScript")->setChecked(true);
        window->findChild<QLineEdit*>("ScriptLocation")->setText(QString::fromStdString(writeScriptFile("c.lua", c.script)));
        window->findChild<QAbstractButton*>("Running")->setChecked(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->runs().current()->isRunning(); }));
        QTest::qWait(100);
        const auto start = std::chrono::steady_clock::now();
        window->close();
        EXPECT_TRUE(window->isClosing());
        window.reset();
        EXPECT_GE(secondsSince(start), c.least) << c.script;
        EXPECT_LT(secondsSince(start), c.most) << c.script;
    }
}

}  // namespace
