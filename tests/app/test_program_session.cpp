// The program between start and end on the fake platform: hotkeys switch
// runs and recordings (never both, nothing once closing), no recording
// starts while one is being saved, an unsaved recording is never lost
// without a word, and the end releases everything in order.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

#include "app/ProgramSession.h"
#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "tests/script/RunHarness.h"

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

TEST_F(Session, TheEndStopsCaptureBeforeReleasingTheHotkeys) {
    fake.clearCalls();
    session.reset();
    const std::vector<std::string> calls = fake.calls();
    const auto stop = std::find(calls.begin(), calls.end(), "stopCapture");
    ASSERT_NE(stop, calls.end());
    EXPECT_TRUE(std::none_of(calls.begin(), stop, [](const std::string& c) { return !c.rfind("unregister", 0); }));
    EXPECT_FALSE(fake.capturing());
    EXPECT_TRUE(fake.hotkeys().empty());
}

TEST_F(Session, ACancelledSaveKeepsTheScriptAndNoRecordingStartsWhileTheSaveIsAsked) {
    scriptLocation()->setText("keep.lua");
    recordAKey();
    pressRecording();
    EXPECT_EQ(scriptLocation()->text(), "keep.lua");
    EXPECT_TRUE(box("UseTable")->isChecked());

    answer = folder.filePath("rec.lua");
    recordAKey();
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
    EXPECT_EQ(asked, QStringList({"Save File|LuaScripts/recording.lua", "Save File|LuaScripts/recording.lua"}));
    EXPECT_TRUE(contents(answer).contains("ReleaseKey(\"A\")"));
    EXPECT_FALSE(contents(answer).contains("\"B\"")) << contents(answer).toStdString();
}

// The recording hotkey during a run is left alone in the end-to-end runs.
TEST_F(Session, TheRunHotkeyIsIgnoredDuringARecordingAndBothOnceTheWindowIsClosing) {
    box("UseScript")->setChecked(true);
    scriptLocation()->setText(QString::fromStdString(writeScriptFile("endless.lua", "while true do end\n")));
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

// A keyboard layout change may take a hotkey's key away: the window says
// so and shows it gone; the other hotkey stays.
TEST_F(Session, AHotkeyTheSystemTakesBackIsLoggedAndItsEditEmptied) {
    fake.loseHotkey(RunHotkeyId, HotkeyResult::NoSuchKey);
    fake.processPendingEvents();
    EXPECT_TRUE(window().findChild<QKeySequenceEdit*>("Hotkey")->keySequence().isEmpty());
    EXPECT_EQ(window().findChild<QPlainTextEdit*>("LuaLog")->toPlainText(),
              "Hotkey F4 lost after a keyboard layout change: the keyboard has no such key\n");
    EXPECT_EQ(fake.hotkeys().count(RunHotkeyId), 0u);
    pressRecording();
    EXPECT_TRUE(box("Recording")->isChecked());
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
    reply = QMessageBox::Discard;
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_FALSE(QFile::exists(answer));

    session.reset();
    SetUp();
    reply = QMessageBox::Save;
    window().setClosePrompt(prompt);
    recordAKey();
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(contents(answer).contains("PressKey(\"A\")"));
    EXPECT_FALSE(contents(answer).contains("\"B\"")) << contents(answer).toStdString();
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
