// The program as a user meets it on an X11 desktop: another program presses
// the hotkeys, the script acts on the real pointer, and the run stops again,
// whatever keys the run holds; a hotkey another program holds is refused in
// plain view; a hotkey works while its own edit has the focus.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "app/ProgramSession.h"
#include "app/ProgramStart.h"
#include "input/KeyNames.h"
#include "platform/Platform.h"
#include "tests/support/ProcessRunner.h"
// Last: Xlib's macros break Qt headers included after them.
#include "tests/x11/X11TestSupport.h"
#include <X11/keysym.h>

namespace {

constexpr int WaitMs = 5000;
// Between the keys of a combination pressed by hand.
constexpr int KeyGapMs = 200;
// What `xdotool getmouselocation` prints first once the script has moved the pointer.
const char PointerAtTarget[] = "x:321 y:123 ";
const char Script[] = "SetMousePosition(321, 123)\nwhile true do MilliSleep(10) end\n";

std::string pointer() { return runProcess({"xdotool", "getmouselocation"}).output; }

// The program started as main starts it, with a script file chosen.
class EndToEnd : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }
    void start(const char* script) {
        std::string error;
        backend_ = openProgramPlatform({}, &error);
        ASSERT_TRUE(backend_) << error;
        session_ = std::make_unique<ProgramSession>(*backend_);
        // Ending a recording asks where to save it; the answer is "cancel".
        window().setFileDialogs(
            [](QWidget*, const QString&, const QString&, const QString&) { return QString(); }, {});
        const QString path = folder_.filePath("target.lua");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        // Where a user's choice of file lands.
        find<QLineEdit>("ScriptLocation")->setText(path);
        find<QAbstractButton>("UseScript")->setChecked(true);
    }

    MainWindow& window() { return session_->window(); }
    template <typename T>
    T* find(const char* name) {
        return window().findChild<T*>(QString::fromLatin1(name));
    }
    bool running() { return find<QAbstractButton>("Running")->isChecked(); }
    bool recording() { return find<QAbstractButton>("Recording")->isChecked(); }
    QString log() { return find<QPlainTextEdit>("LuaLog")->toPlainText(); }

    QTemporaryDir folder_;
    std::unique_ptr<platform::Platform> backend_;
    std::unique_ptr<ProgramSession> session_;  // goes first
};

TEST_F(EndToEnd, F4StartsAndStopsAScriptRunThatTheRecordingHotkeyLeavesAlone) {
    start(Script);
    find<QKeySequenceEdit>("RecordingHotkey")->setKeySequence(QKeySequence("Ctrl+R"));

    // While xdotool runs the Qt loop is not serviced: wait for the effect after.
    run({"xdotool", "key", "F4"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return running(); }, WaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pointer().rfind(PointerAtTarget, 0) == 0; }, WaitMs)) << pointer();

    // Hotkeys arrive in order: once F4 has stopped the run, Ctrl+R has been
    // seen too, while the run was on (had it started a recording, F4 would
    // have been ignored).
    run({"xdotool", "key", "ctrl+r", "F4"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !running(); }, WaitMs));
    EXPECT_FALSE(recording());
    EXPECT_TRUE(log().contains("-- Execution Stopped"));
}

TEST_F(EndToEnd, F4StopsARunThatHoldsShiftAndIsExactAgainOnceItHasStopped) {
    start("PressKey('LShift')\nLog('holding\\n')\nwhile true do MilliSleep(10) end\n");
    find<QAbstractButton>("ClearLogOnPlay")->setChecked(false);
    run({"xdotool", "key", "F4"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return log().contains("holding"); }, WaitMs));
    ASSERT_TRUE(backend_->asyncKeyState(platform::VkShift) & platform::KeyStateDown);

    run({"xdotool", "key", "F4"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(); }, WaitMs));

    // The stopped run let go of its Shift.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !(backend_->asyncKeyState(platform::VkShift) & platform::KeyStateDown); },
                                WaitMs));

    // With no run on, Shift+F4 starts nothing and F4 alone then does (in
    // order; had the first started a run, the second would stop it).
    run({"xdotool", "keydown", "Shift_L", "key", "F4", "keyup", "Shift_L", "key", "F4"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return running() && log().count("holding") == 2; }, WaitMs)) << log().toStdString();
    run({"xdotool", "key", "F4"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(); }, WaitMs));
    EXPECT_EQ(log().count("-- Loading"), 2) << log().toStdString();
}

TEST_F(EndToEnd, AnF4ThatAnotherProgramHoldsLeavesTheEditEmptyAndSaysSoInOneLine) {
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XGrabKey(other, XKeysymToKeycode(other, XK_F4), 0, DefaultRootWindow(other), False, GrabModeAsync,
             GrabModeAsync);
    XSync(other, False);
    start(Script);
    EXPECT_TRUE(find<QKeySequenceEdit>("Hotkey")->keySequence().isEmpty());
    EXPECT_EQ(log(), "Hotkey F4 refused: another program holds it\n");
    XCloseDisplay(other);
}

TEST_F(EndToEnd, AHotkeyWorksWhileItsOwnEditHasTheFocus) {
    start(Script);
    auto* edit = find<QKeySequenceEdit>("RecordingHotkey");
    edit->setKeySequence(QKeySequence("Ctrl+R"));
    // Focused as the user focuses it: a click (the Qt loop runs after xdotool).
    const QPoint at = edit->mapToGlobal(edit->rect().center());
    run({"xdotool", "mousemove", std::to_string(at.x()), std::to_string(at.y()), "click", "1"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }, WaitMs));

    // Pressed as a hand presses it: the edit sees Ctrl go down on its own first.
    run({"xdotool", "keydown", "ctrl"});
    QTest::qWait(KeyGapMs);
    run({"xdotool", "key", "r", "keyup", "ctrl"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return recording(); }, WaitMs));
    EXPECT_EQ(edit->keySequence(), QKeySequence("Ctrl+R"));
}

}  // namespace
