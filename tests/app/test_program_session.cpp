// The program between start and end on the fake platform: hotkeys switch
// runs and recordings (never both, nothing once closing), captured keys,
// buttons and movement become the recording's script, and the end releases
// everything in order.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QKeySequenceEdit>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "app/ProgramSession.h"
#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "script/Thread.h"

namespace {

using namespace platform;

class Session : public testing::Test {
protected:
    static void SetUpTestSuite() { initKeyNames(); }

    void SetUp() override {
        session = std::make_unique<ProgramSession>(fake);
        window().setFileDialogs(
            [&](QWidget*, const QString& caption, const QString& start, const QString&) {
                asked << caption + "|" + start;
                return answer;
            },
            {});
        window().findChild<QKeySequenceEdit*>("RecordingHotkey")->setKeySequence(QKeySequence("Ctrl+R"));
    }
    void TearDown() override { session.reset(); }

    MainWindow& window() { return session->window(); }
    QAbstractButton* box(const char* name) { return window().findChild<QAbstractButton*>(name); }
    void press(uint32_t modifiers, const char* key) {
        fake.pressHotkey(modifiers, keyCodeFromName(key));
        fake.processPendingEvents();
    }
    void pressRun() { press(0, "F4"); }
    void pressRecording() { press(ModControl, "R"); }
    void key(uint32_t message, const char* name) {
        fake.pushKeyEvent({message, keyCodeFromName(name)});
        fake.processPendingEvents();
    }

    static QString contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    FakePlatform fake;
    std::unique_ptr<ProgramSession> session;
    QTemporaryDir folder;
    QString answer;
    QStringList asked;
};

TEST_F(Session, StartsCapturingWithTheTitledWindowShown) {
    EXPECT_EQ(window().windowTitle(), "Quillpress");
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(fake.capturing());
    EXPECT_EQ(fake.hotkeys().size(), 2u);
}

TEST_F(Session, ARecordingByHotkeyBecomesTheScriptToRun) {
    fake.setCursor({15, -4});
    box("MonitorStartPosition")->setChecked(true);
    box("MonitorMouseMovement")->setChecked(true);
    answer = folder.filePath("rec.lua");
    pressRecording();
    ASSERT_TRUE(box("Recording")->isChecked());
    key(MsgKeyDown, "A");
    key(MsgKeyUp, "A");
    fake.pushRawMovement({4, 5});
    fake.pushMouseEvent({MsgLeftDown, 0});
    fake.processPendingEvents();
    pressRecording();
    EXPECT_FALSE(box("Recording")->isChecked());
    EXPECT_EQ(asked, QStringList({"Save File|LuaScripts/recording.lua"}));

    QFile file(answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(script.contains("SetMousePosition(15,-4)")) << script.toStdString();
    EXPECT_LT(script.indexOf("PressKey(\"A\")"), script.indexOf("ReleaseKey(\"A\")"));
    EXPECT_GE(script.indexOf("PressKey(\"A\")"), 0) << script.toStdString();
    EXPECT_LT(script.indexOf("ChangeMousePosition(4,5)"), script.indexOf("PressMouseButton(\"MouseLeft\")"));
    EXPECT_GT(script.indexOf("ChangeMousePosition(4,5)"), script.indexOf("ReleaseKey(\"A\")"));
    EXPECT_EQ(window().findChild<QLineEdit*>("ScriptLocation")->text(), answer);
    EXPECT_TRUE(window().findChild<QRadioButton*>("UseScript")->isChecked());
}

TEST_F(Session, ACancelledSaveLeavesTheWindowAsItWas) {
    window().findChild<QLineEdit*>("ScriptLocation")->setText("keep.lua");
    pressRecording();
    key(MsgKeyDown, "A");
    pressRecording();
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(window().findChild<QLineEdit*>("ScriptLocation")->text(), "keep.lua");
    EXPECT_FALSE(window().findChild<QRadioButton*>("UseScript")->isChecked());
}

TEST_F(Session, EachHotkeyIsIgnoredWhileTheOtherSwitchIsOn) {
    window().findChild<QRadioButton*>("UseScript")->setChecked(true);
    const QString endless = folder.filePath("endless.lua");
    QFile file(endless);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("while true do end\n");
    file.close();
    window().findChild<QLineEdit*>("ScriptLocation")->setText(endless);

    pressRun();
    ASSERT_TRUE(box("Running")->isChecked());
    pressRecording();
    EXPECT_FALSE(box("Recording")->isChecked());
    pressRun();
    EXPECT_FALSE(box("Running")->isChecked());

    pressRecording();
    ASSERT_TRUE(box("Recording")->isChecked());
    pressRun();
    EXPECT_FALSE(box("Running")->isChecked());
    pressRecording();
    EXPECT_FALSE(box("Recording")->isChecked());
}

TEST_F(Session, NothingIsActedOnOnceTheWindowIsClosing) {
    window().close();
    pressRun();
    EXPECT_FALSE(box("Running")->isChecked());
}

TEST_F(Session, NoRecordingStartsWhileTheLastWaitsToBeSaved) {
    answer = folder.filePath("first.lua");
    pressRecording();
    key(MsgKeyDown, "A");
    key(MsgKeyUp, "A");
    bool startedMeanwhile = false;
    window().setFileDialogs(
        [&](QWidget*, const QString&, const QString&, const QString&) {
            pressRecording();  // the hotkey still works under a modal dialog
            key(MsgKeyDown, "B");
            box("RecordingStartStop")->click();
            startedMeanwhile = box("Recording")->isChecked();
            return answer;
        },
        {});
    pressRecording();
    EXPECT_FALSE(startedMeanwhile);
    EXPECT_FALSE(box("Recording")->isChecked());
    const QString script = contents(answer);
    EXPECT_TRUE(script.contains("PressKey(\"A\")")) << script.toStdString();
    EXPECT_FALSE(script.contains("\"B\"")) << script.toStdString();
}

TEST_F(Session, ClosingDuringARecordingAsksWhetherToSaveIt) {
    answer = folder.filePath("closing.lua");
    QMessageBox::StandardButton reply = QMessageBox::Cancel;
    int prompts = 0;
    auto recordAKey = [&] {
        window().setClosePrompt([&](QWidget*) {
            ++prompts;
            if (reply == QMessageBox::Save) {
                key(MsgKeyDown, "B");  // answering the prompt is no part of what is saved
                key(MsgKeyUp, "B");
            }
            return reply;
        });
        pressRecording();
        key(MsgKeyDown, "A");
        key(MsgKeyUp, "A");
    };
    recordAKey();
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(box("Recording")->isChecked());
    reply = QMessageBox::Save;
    EXPECT_TRUE(window().close());
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(contents(answer).contains("PressKey(\"A\")"));
    EXPECT_FALSE(contents(answer).contains("\"B\"")) << contents(answer).toStdString();

    TearDown();
    SetUp();
    QFile::remove(answer);
    reply = QMessageBox::Discard;
    recordAKey();
    EXPECT_TRUE(window().close());
    EXPECT_EQ(prompts, 3);
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

TEST_F(Session, TheEndStopsCaptureBeforeReleasingTheHotkeys) {
    fake.clearCalls();
    session.reset();
    const std::vector<std::string> calls = fake.calls();
    auto at = [&](const std::string& prefix) {
        return std::find_if(calls.begin(), calls.end(),
                            [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }) -
               calls.begin();
    };
    const auto stop = at("stopCapture");
    ASSERT_LT(stop, static_cast<long>(calls.size()));
    EXPECT_LT(stop, at("unregisterHotkey id=1"));
    EXPECT_LT(stop, at("unregisterHotkey id=2"));
    EXPECT_FALSE(fake.capturing());
    EXPECT_TRUE(fake.hotkeys().empty());
}

}  // namespace
