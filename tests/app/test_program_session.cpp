// The program between start and end on the fake platform: hotkeys switch
// runs and recordings (never both, nothing once closing), a recording
// becomes the script to run and no other starts while it is being saved, an
// unsaved recording is never lost without a word, and the end releases
// everything in order.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

#include "app/ProgramSession.h"
#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"

namespace {

using namespace platform;

QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class Session : public testing::Test {
protected:
    void SetUp() override {
        initKeyNames();
        session = std::make_unique<ProgramSession>(fake);
        window().setFileDialogs(
            [&](QWidget*, const QString& caption, const QString& start, const QString&) {
                asked << caption + "|" + start;
                if (whileAsked) whileAsked();
                return answer;
            },
            {});
        window().findChild<QKeySequenceEdit*>("RecordingHotkey")->setKeySequence(QKeySequence("Ctrl+R"));
    }

    MainWindow& window() { return session->window(); }
    QAbstractButton* box(const char* name) { return window().findChild<QAbstractButton*>(name); }
    QLineEdit* scriptLocation() { return window().findChild<QLineEdit*>("ScriptLocation"); }
    void pressHotkey(uint32_t modifiers, const char* key) {
        fake.pressHotkey(modifiers, keyCodeFromName(key));
        fake.processPendingEvents();
    }
    void pressRun() { pressHotkey(0, "F4"); }
    void pressRecording() { pressHotkey(ModControl, "R"); }
    void key(uint32_t message, const char* name) {
        fake.pushKeyEvent({message, keyCodeFromName(name)});
        fake.processPendingEvents();
    }
    void recordAKey() {
        pressRecording();
        key(MsgKeyDown, "A");
        key(MsgKeyUp, "A");
    }

    FakePlatform fake;
    std::unique_ptr<ProgramSession> session;
    QTemporaryDir folder;
    QString answer;
    QStringList asked;
    std::function<void()> whileAsked;
};

TEST_F(Session, StartsCapturingWithTheWindowShownAndEndsCaptureBeforeReleasingTheHotkeys) {
    EXPECT_EQ(window().windowTitle(), "Quillpress");
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(fake.capturing());
    EXPECT_EQ(fake.hotkeys().size(), 2u);

    fake.clearCalls();
    session.reset();
    const std::vector<std::string> calls = fake.calls();
    auto at = [&](const std::string& prefix) {
        return std::find_if(calls.begin(), calls.end(),
                            [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }) -
               calls.begin();
    };
    ASSERT_LT(at("stopCapture"), static_cast<long>(calls.size()));
    EXPECT_LT(at("stopCapture"), at("unregisterHotkey id=1"));
    EXPECT_LT(at("stopCapture"), at("unregisterHotkey id=2"));
    EXPECT_FALSE(fake.capturing());
    EXPECT_TRUE(fake.hotkeys().empty());
}

TEST_F(Session, ARecordingByHotkeyIsSavedAndBecomesTheScriptToRunUnlessTheSaveIsCancelled) {
    scriptLocation()->setText("keep.lua");
    recordAKey();
    pressRecording();
    EXPECT_EQ(scriptLocation()->text(), "keep.lua");
    EXPECT_FALSE(window().findChild<QRadioButton*>("UseScript")->isChecked());

    answer = folder.filePath("rec.lua");
    box("MonitorMouseMovement")->setChecked(true);
    recordAKey();
    fake.pushRawMovement({4, 5});
    fake.pushMouseEvent({MsgLeftDown, 0});
    bool startedMeanwhile = false;
    whileAsked = [&] {  // the hotkey still works under a modal dialog
        pressRecording();
        key(MsgKeyDown, "B");
        box("RecordingStartStop")->click();
        startedMeanwhile = box("Recording")->isChecked();
    };
    pressRecording();
    EXPECT_FALSE(startedMeanwhile);
    EXPECT_FALSE(box("Recording")->isChecked());
    const QString dialog = "Save File|LuaScripts/recording.lua";
    EXPECT_EQ(asked, QStringList({dialog, dialog}));
    const QString script = contents(answer);
    EXPECT_GE(script.indexOf("PressKey(\"A\")"), 0) << script.toStdString();
    EXPECT_LT(script.indexOf("PressKey(\"A\")"), script.indexOf("ReleaseKey(\"A\")"));
    EXPECT_LT(script.indexOf("ReleaseKey(\"A\")"), script.indexOf("ChangeMousePosition(4,5)"));
    EXPECT_LT(script.indexOf("ChangeMousePosition(4,5)"), script.indexOf("PressMouseButton(\"MouseLeft\")"));
    EXPECT_FALSE(script.contains("\"B\""));
    EXPECT_EQ(scriptLocation()->text(), answer);
    EXPECT_TRUE(window().findChild<QRadioButton*>("UseScript")->isChecked());
}

TEST_F(Session, EachHotkeyIsIgnoredWhileTheOtherSwitchIsOnAndBothOnceTheWindowIsClosing) {
    const QString endless = folder.filePath("endless.lua");
    QFile file(endless);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("while true do end\n") > 0);
    file.close();
    window().findChild<QRadioButton*>("UseScript")->setChecked(true);
    scriptLocation()->setText(endless);

    pressRun();
    ASSERT_TRUE(box("Running")->isChecked());
    pressRecording();
    EXPECT_FALSE(box("Recording")->isChecked());
    pressRun();
    ASSERT_FALSE(box("Running")->isChecked());

    pressRecording();
    ASSERT_TRUE(box("Recording")->isChecked());
    pressRun();
    EXPECT_FALSE(box("Running")->isChecked());
    pressRecording();
    ASSERT_FALSE(box("Recording")->isChecked());

    window().close();
    pressRun();
    pressRecording();
    EXPECT_FALSE(box("Running")->isChecked());
    EXPECT_FALSE(box("Recording")->isChecked());
}

TEST_F(Session, ClosingDuringARecordingAsksWhetherToSaveIt) {
    answer = folder.filePath("closing.lua");
    QMessageBox::StandardButton reply = QMessageBox::Cancel;
    const auto prompt = [&](QWidget*) {
        if (reply == QMessageBox::Save) key(MsgKeyDown, "B");  // answering is no part of what is saved
        return reply;
    };
    window().setClosePrompt(prompt);
    recordAKey();
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(box("Recording")->isChecked());
    reply = QMessageBox::Save;
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(contents(answer).contains("PressKey(\"A\")"));
    EXPECT_FALSE(contents(answer).contains("\"B\"")) << contents(answer).toStdString();

    session.reset();
    SetUp();
    QFile::remove(answer);
    reply = QMessageBox::Discard;
    window().setClosePrompt(prompt);
    recordAKey();
    EXPECT_TRUE(window().close());
    EXPECT_EQ(asked.size(), 1);
    EXPECT_FALSE(QFile::exists(answer));
}

TEST_F(Session, AnUnsavedRecordingIsPreservedWhenTheEndCannotAsk) {
    qputenv("XDG_STATE_HOME", folder.path().toUtf8());
    pressRecording();
    key(MsgKeyDown, "A");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(window().preserveUnsavedRecording());
    const std::string said = testing::internal::GetCapturedStderr();
    qunsetenv("XDG_STATE_HOME");
    const QStringList files = QDir(folder.filePath("quillpress")).entryList({"*.lua"});
    ASSERT_EQ(files.size(), 1);
    const QString path = folder.filePath("quillpress/" + files.front());
    EXPECT_NE(said.find(path.toStdString()), std::string::npos) << said;
    EXPECT_TRUE(contents(path).endsWith("PressKey(\"A\")\n"
                                        "--Release what was still held when the recording stopped.\n"
                                        "ReleaseKey(\"A\")\n"))
        << contents(path).toStdString();
}

}  // namespace
