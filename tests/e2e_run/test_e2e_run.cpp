// The program as a user meets it on an X11 desktop: another program presses
// the hotkeys, the script acts on the real pointer, and the run stops again.

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

namespace {

constexpr int WaitMs = 5000;
// What `xdotool getmouselocation` prints first once the script has moved the pointer.
const char PointerAtTarget[] = "x:321 y:123 ";
const char Script[] = "SetMousePosition(321, 123)\nwhile true do MilliSleep(10) end\n";

std::string pointer() { return runProcess({"xdotool", "getmouselocation"}).output; }

}  // namespace

TEST(EndToEnd, F4StartsAndStopsAScriptRunThatTheRecordingHotkeyLeavesAlone) {
    // Started as main starts it.
    initKeyNames();
    std::string error;
    std::unique_ptr<platform::Platform> backend = openProgramPlatform(&error);
    ASSERT_TRUE(backend) << error;
    {
        ProgramSession session(*backend);
        MainWindow& window = session.window();
        // Ending a recording asks where to save it; the answer is "cancel".
        window.setFileDialogs([](QWidget*, const QString&, const QString&, const QString&) { return QString(); },
                              {});
        QTemporaryDir folder;
        const QString path = folder.filePath("target.lua");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Script);
        file.close();
        // Where a user's choice of file lands.
        window.findChild<QLineEdit*>("ScriptLocation")->setText(path);
        window.findChild<QAbstractButton*>("UseScript")->setChecked(true);
        window.findChild<QKeySequenceEdit*>("RecordingHotkey")->setKeySequence(QKeySequence("Ctrl+R"));
        QAbstractButton* running = window.findChild<QAbstractButton*>("Running");
        QAbstractButton* recording = window.findChild<QAbstractButton*>("Recording");

        // While xdotool runs the Qt loop is not serviced: wait for the effect after.
        run({"xdotool", "key", "F4"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return running->isChecked(); }, WaitMs));
        EXPECT_TRUE(QTest::qWaitFor([&] { return pointer().rfind(PointerAtTarget, 0) == 0; }, WaitMs))
            << pointer();

        // Hotkeys arrive in order: once F4 has stopped the run, Ctrl+R has been
        // seen too, while the run was on (had it started a recording, F4 would
        // have been ignored).
        run({"xdotool", "key", "ctrl+r", "F4"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !running->isChecked(); }, WaitMs));
        EXPECT_FALSE(recording->isChecked());
        EXPECT_TRUE(window.findChild<QPlainTextEdit*>("LuaLog")->toPlainText().contains("-- Execution Stopped"));

        // The recording hotkey was live all along: with no run on it works.
        run({"xdotool", "key", "ctrl+r"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return recording->isChecked(); }, WaitMs));
        run({"xdotool", "key", "ctrl+r"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !recording->isChecked(); }, WaitMs));
    }
    backend.reset();
}
