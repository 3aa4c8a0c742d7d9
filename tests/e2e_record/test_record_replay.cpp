// Recordings made in the real program from outside input (xdotool), started
// and stopped by the recording hotkey and by clicks on the window's button:
// the script holds neither, releases what was still held, and its replay
// reaches the X server as the recording did, event for event.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/ProgramSession.h"
#include "app/ProgramStart.h"
#include "input/KeyNames.h"
#include "tests/x11/X11TestSupport.h"

namespace {

// Where the pointer waits, away from the window.
constexpr int ParkX = 1500, ParkY = 800;

// One xdotool step and the pause after it.
struct Step {
    std::vector<std::string> args;
    int pauseMs;
};

const std::vector<Step> Steps = {
    {{"key", "a"}, 120},
    {{"key", "5"}, 150},
    {{"key", "ctrl+shift+z"}, 200},
    {{"key", "alt+x"}, 100},
    {{"key", "backslash"}, 250},
    {{"click", "1"}, 130},
    {{"click", "3"}, 180},
    {{"click", "4"}, 110},
    {{"click", "5"}, 300},
    {{"mousemove_relative", "--", "40", "-25"}, 140},
    {{"mousemove_relative", "--", "-13", "7"}, 100},
};

QString contents(const QString& path) {
    return QString::fromStdString(::contents(path.toStdString()));
}

void xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    run(args);
}

class RecordReplay : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
    void SetUp() override {
        std::string error;
        backend = openProgramPlatform({}, &error);
        ASSERT_TRUE(backend) << error;
        session = std::make_unique<ProgramSession>(*backend);
        window().setFileDialogs([&](QWidget*, const QString&, const QString&, const QString&) { return path; }, {});
        window().findChild<QKeySequenceEdit*>("RecordingHotkey")->setKeySequence(QKeySequence("Ctrl+R"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        QTest::qWait(200);
    }
    MainWindow& window() { return session->window(); }
    QAbstractButton* box(const char* name) { return window().findChild<QAbstractButton*>(name); }
    bool recordingBecomes(bool on) {
        return QTest::qWaitFor([&] { return box("Recording")->isChecked() == on; }, 3000);
    }

    QTemporaryDir folder;
    QString path = folder.filePath("recorded.lua");
    std::unique_ptr<platform::Platform> backend;
    std::unique_ptr<ProgramSession> session;  // goes first
};

TEST_F(RecordReplay, TheHotkeyIsLeftOutAndTheReplayInjectsWhatWasRecordedThenReleasesWhatWasHeld) {
    box("MonitorMouseMovement")->setChecked(true);
    box("MonitorStartPosition")->setChecked(true);
    // Over the window: keys and clicks go to the watcher, never into the form.
    ServerWatcher watcher;
    xdotool({"mousemove", std::to_string(ParkX), std::to_string(ParkY)});
    QTest::qWait(100);

    xdotool({"key", "ctrl+r"});
    ASSERT_TRUE(recordingBecomes(true));
    QTest::qWait(100);
    watcher.clear();
    for (const Step& step : Steps) {
        xdotool(step.args);
        QTest::qWait(step.pauseMs);
    }
    // Still held when the recording stops: the replay must let them go.
    xdotool({"keydown", "b"});
    xdotool({"mousedown", "3"});
    QTest::qWait(100);
    watcher.settle();
    const std::vector<ServerWatcher::Event> recorded = watcher.events;
    const platform::Point recordedEnd = pointerLocation();
    EXPECT_EQ(recordedEnd, (platform::Point{ParkX + 27, ParkY - 18}));
    xdotool({"key", "ctrl+r"});
    ASSERT_TRUE(recordingBecomes(false));
    xdotool({"mouseup", "3"});
    xdotool({"keyup", "b"});

    const QString script = contents(path);
    EXPECT_FALSE(script.contains("\"R\"")) << script.toStdString();
    EXPECT_TRUE(script.endsWith("ReleaseMouseButton(\"MouseRight\")\nReleaseKey(\"B\")\n")) << script.toStdString();
    EXPECT_EQ(window().findChild<QLineEdit*>("ScriptLocation")->text(), path);
    EXPECT_TRUE(window().findChild<QRadioButton*>("UseScript")->isChecked());

    // Replay from elsewhere: the script's start position brings the pointer back.
    // The program's loop waits until xdotool is done, so the run cannot start before the clear.
    xdotool({"mousemove", "300", "900", "key", "F4"});
    watcher.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().isRunningChecked(); }, 3000)) << "F4 started no run";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window().isRunningChecked(); }, 15000)) << "the replay never ended";

    std::vector<ServerWatcher::Event> expected{{MotionNotify, 0, 0, 0}};  // to the start position
    expected.insert(expected.end(), recorded.begin(), recorded.end());
    const int b = recorded.end()[-2].detail;  // the keydown b above
    expected.insert(expected.end(), {{ButtonRelease, 3, 0, 0}, {KeyRelease, b, 0, 0}});
    watcher.settle();
    EXPECT_EQ(watcher.events, expected);
    EXPECT_EQ(pointerLocation(), recordedEnd);
}

TEST_F(RecordReplay, TheClicksOnTheButtonThatStartAndStopItAreLeftOut) {
    QAbstractButton* button = box("RecordingStartStop");
    const QPoint centre = button->mapToGlobal(button->rect().center());
    xdotool({"mousemove", std::to_string(centre.x()), std::to_string(centre.y())});
    QTest::qWait(100);
    xdotool({"click", "1"});
    ASSERT_TRUE(recordingBecomes(true));
    xdotool({"key", "a"});
    QTest::qWait(100);
    xdotool({"click", "1"});
    ASSERT_TRUE(recordingBecomes(false));

    // Its input lines alone: the key typed between the clicks, nothing of the clicks.
    QStringList inputs;
    for (const QString& line : contents(path).split('\n'))
        if (line.contains(QRegularExpression("^(Press|Release|SetMouse|ChangeMouse|MouseWheel)"))) inputs << line;
    EXPECT_EQ(inputs, QStringList({"PressKey(\"A\")", "ReleaseKey(\"A\")"}));
}

}  // namespace
