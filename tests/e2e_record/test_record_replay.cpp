// Recordings made in the real program from outside input (xdotool), started
// and stopped by the recording hotkey and by clicks on the window's button:
// the script holds neither, releases what was still held, and its replay
// reaches the X server as the recording did, event for event.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include "app/ProgramSession.h"
#include "app/ProgramStart.h"
#include "input/KeyNames.h"
#include "tests/support/ProcessRunner.h"
#include "tests/x11/X11TestSupport.h"

namespace {

// Where the pointer waits, away from the window, so clicks land on the root.
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

// The raw events the server saw, named as the user would know them. Raw
// events include releases of keys that are not down (xdotool sends such
// after a combination); the server drops them before any client, a
// recorder included, sees a key event, so they are left out here too.
std::vector<std::string> seen(XiWatcher& watcher) {
    XSync(watcher.display(), False);
    watcher.waitForAny(-1, std::chrono::milliseconds(0));  // drains without waiting
    std::vector<std::string> names;
    std::set<int> keysDown;
    for (const XiWatcher::Event& e : watcher.events()) {
        switch (e.type) {
        case XI_RawKeyPress:
        case XI_RawKeyRelease: {
            if (e.type == XI_RawKeyPress ? !keysDown.insert(e.detail).second : keysDown.erase(e.detail) == 0)
                break;
            const char* sym = XKeysymToString(watcher.keysymOf(e.detail));
            names.push_back((e.type == XI_RawKeyPress ? "press " : "release ") + std::string(sym ? sym : "?"));
            break;
        }
        case XI_RawButtonPress:
        case XI_RawButtonRelease:
            names.push_back((e.type == XI_RawButtonPress ? "down " : "up ") + std::to_string(e.detail));
            break;
        default:
            names.push_back("motion");
        }
    }
    return names;
}

// The watcher of the shared helpers ignores movement; the replay's must not.
void watchMotionToo(XiWatcher& watcher) {
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease, XI_RawMotion})
        XISetMask(mask, type);
    XIEventMask m{XIAllMasterDevices, sizeof mask, mask};
    XISelectEvents(watcher.display(), DefaultRootWindow(watcher.display()), &m, 1);
    XSync(watcher.display(), False);
}

platform::Point pointer(Display* d) {
    Window root, child;
    int x = 0, y = 0, wx, wy;
    unsigned mask;
    XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &mask);
    return {x, y};
}

QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
        backend = openProgramPlatform(&error);
        ASSERT_TRUE(backend) << error;
        session = std::make_unique<ProgramSession>(*backend);
        window().setFileDialogs([&](QWidget*, const QString&, const QString&, const QString&) { return path; }, {});
        window().findChild<QKeySequenceEdit*>("RecordingHotkey")->setKeySequence(QKeySequence("Ctrl+R"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        QTest::qWait(200);
    }
    void TearDown() override {
        session.reset();
        backend.reset();
    }
    MainWindow& window() { return session->window(); }
    QAbstractButton* box(const char* name) { return window().findChild<QAbstractButton*>(name); }
    bool recordingBecomes(bool on) {
        return QTest::qWaitFor([&] { return box("Recording")->isChecked() == on; }, 3000);
    }

    std::unique_ptr<platform::Platform> backend;
    std::unique_ptr<ProgramSession> session;
    QTemporaryDir folder;
    QString path = folder.filePath("recorded.lua");
};

TEST_F(RecordReplay, TheHotkeyIsLeftOutAndTheReplayInjectsWhatWasRecordedThenReleasesWhatWasHeld) {
    box("MonitorMouseMovement")->setChecked(true);
    box("MonitorStartPosition")->setChecked(true);
    XiWatcher watcher;
    watchMotionToo(watcher);
    // Keys go to whatever is under the pointer (the root), never into the form.
    XSetInputFocus(watcher.display(), PointerRoot, RevertToPointerRoot, CurrentTime);
    xdotool({"mousemove", std::to_string(ParkX), std::to_string(ParkY)});
    QTest::qWait(100);

    xdotool({"key", "ctrl+r"});
    ASSERT_TRUE(recordingBecomes(true));
    QTest::qWait(100);
    (void)seen(watcher);
    watcher.clear();
    for (const Step& step : Steps) {
        xdotool(step.args);
        QTest::qWait(step.pauseMs);
    }
    // Still held when the recording stops: the replay must let them go.
    xdotool({"keydown", "b"});
    xdotool({"mousedown", "3"});
    QTest::qWait(100);
    const std::vector<std::string> recorded = seen(watcher);
    const platform::Point recordedEnd = pointer(watcher.display());
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
    xdotool({"mousemove", "300", "900"});
    xdotool({"key", "F4"});
    ASSERT_TRUE(watcher.waitFor(XI_RawKeyRelease, XKeysymToKeycode(watcher.display(), XK_F4)));
    watcher.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().isRunningChecked(); }, 3000)) << "F4 started no run";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window().isRunningChecked(); }, 15000)) << "the replay never ended";

    std::vector<std::string> expected{"motion"};  // SetMousePosition to the start
    expected.insert(expected.end(), recorded.begin(), recorded.end());
    expected.insert(expected.end(), {"up 3", "release b"});
    EXPECT_EQ(seen(watcher), expected);
    const platform::Point replayedEnd = pointer(watcher.display());
    EXPECT_EQ(replayedEnd.x, recordedEnd.x);
    EXPECT_EQ(replayedEnd.y, recordedEnd.y);
    EXPECT_EQ(recordedEnd.x, ParkX + 27);
    EXPECT_EQ(recordedEnd.y, ParkY - 18);
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
