// The window as built, its global hotkeys as the edits set them, and the
// script file actions.

#include <QDir>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QPlainTextEdit>
#include <QUrl>

#include "WindowFixture.h"
#include "input/KeyNames.h"
#include "ui/LogWindow.h"

namespace {

using platform::FakePlatform;
using platform::ModAlt;
using platform::ModControl;
using platform::ModShift;
using platform::ModWin;

class WindowStart : public WindowFixture {
protected:
    QKeySequenceEdit* edit(const char* name) { return widget<QKeySequenceEdit>(name); }
    // Types a sequence into an edit, as the user's key presses would.
    QString setInto(const char* name, const QKeySequence& sequence) {
        edit(name)->setKeySequence(sequence);
        return edit(name)->keySequence().toString(QKeySequence::PortableText);
    }
    std::map<int, FakePlatform::Hotkey> held() { return platform.hotkeys(); }
    QString log() { return widget<QPlainTextEdit>("LuaLog")->toPlainText(); }
    FakePlatform::Hotkey key(uint32_t modifiers, const char* name) {
        return {modifiers, keyCodeFromName(name)};
    }
};

TEST_F(WindowStart, StartsInTableModeWithF4AndAHiddenLogWindow) {
    EXPECT_TRUE(widget<QRadioButton>("UseTable")->isChecked());
    EXPECT_EQ(edit("Hotkey")->keySequence(), QKeySequence(Qt::Key_F4));
    EXPECT_TRUE(edit("RecordingHotkey")->keySequence().isEmpty());
    ASSERT_EQ(held().size(), 1u);
    EXPECT_EQ(held().at(1), key(0, "F4"));

    LogWindow* log = window.logWindowWidget();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->parent(), &window);
    EXPECT_FALSE(log->isVisible());
    EXPECT_EQ(log->windowTitle(), "Log Window");
    EXPECT_EQ(log->size(), QSize(400, 300));
    EXPECT_FALSE(log->isModal());
    EXPECT_EQ(log->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(log->isSizeGripEnabled());
    const Qt::WindowFlags wanted =
        Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    EXPECT_EQ(log->windowFlags() & ~Qt::WindowType_Mask & wanted, wanted & ~Qt::WindowType_Mask);
    EXPECT_FALSE(log->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(log->logText()->objectName(), "LogText");
    EXPECT_EQ(log->logText()->lineWrapMode(), QPlainTextEdit::NoWrap);

    click("OpenLogWindow");
    EXPECT_TRUE(log->isVisible());
    widget<QAbstractButton>("checkBox")->setChecked(false);
    EXPECT_FALSE(log->isVisible());
}

TEST_F(WindowStart, KeyListFollowsItsFormItemSortedByCharacterCode) {
    QStringList items;
    for (int i = 0; i < combo("SpecialKeys")->count(); ++i) items << combo("SpecialKeys")->itemText(i);
    ASSERT_GT(items.size(), 50);
    EXPECT_EQ(items.first(), "None");
    QStringList names = items.mid(1);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names, sorted);
    EXPECT_TRUE(names.contains("Cancel"));
    EXPECT_TRUE(names.contains("Enter"));
    EXPECT_TRUE(names.contains("A"));
    EXPECT_TRUE(names.contains("F4"));
    for (const char* button : {"MouseLeft", "MouseRight", "MouseMiddle", "MouseX1", "MouseX2"})
        EXPECT_FALSE(names.contains(button)) << button;
    EXPECT_LT(names.indexOf("Z"), names.indexOf("a") < 0 ? names.size() : names.indexOf("a"));
}

TEST_F(WindowStart, EditsRegisterWhatTheyShow) {
    EXPECT_EQ(setInto("Hotkey", QKeySequence("Ctrl+Shift+A")), "Ctrl+Shift+A");
    EXPECT_EQ(held().at(1), key(ModControl | ModShift, "A"));

    // Shifted punctuation is the unshifted key with Shift.
    EXPECT_EQ(setInto("Hotkey", QKeySequence("Ctrl+!")), "Ctrl+!");
    EXPECT_EQ(held().at(1), key(ModControl | ModShift, "1"));

    // The comma key drops Shift; the edit shows what was registered.
    EXPECT_EQ(setInto("Hotkey", QKeySequence("Ctrl+Alt+Shift+,")), "Ctrl+Alt+,");
    EXPECT_EQ(held().at(1), key(ModControl | ModAlt, ","));

    // Of several chords only the last counts.
    EXPECT_EQ(setInto("RecordingHotkey", QKeySequence("Ctrl+A, Alt+B")), "Alt+B");
    EXPECT_EQ(held().at(2), key(ModAlt, "B"));
}

TEST_F(WindowStart, UnusableSequencesLeaveTheHotkeyUnregisteredAndTheEditEmpty) {
    EXPECT_EQ(setInto("Hotkey", QKeySequence(Qt::Key_F12)), "");
    EXPECT_EQ(held().count(1), 0u);

    setInto("Hotkey", QKeySequence(Qt::Key_F5));
    EXPECT_EQ(held().at(1), key(0, "F5"));
    // A key the vocabulary does not know.
    EXPECT_EQ(setInto("Hotkey", QKeySequence(Qt::Key_Launch0)), "");
    EXPECT_EQ(held().count(1), 0u);
}

TEST_F(WindowStart, ClearButtonsUnregisterTheirHotkeyOnly) {
    setInto("RecordingHotkey", QKeySequence("Ctrl+R"));
    ASSERT_EQ(held().size(), 2u);
    click("ResetHotKey");
    EXPECT_TRUE(edit("Hotkey")->keySequence().isEmpty());
    EXPECT_EQ(held().count(1), 0u);
    EXPECT_EQ(held().count(2), 1u);
    click("ResetRecordingHotKey");
    EXPECT_TRUE(edit("RecordingHotkey")->keySequence().isEmpty());
    EXPECT_TRUE(held().empty());
}

TEST_F(WindowStart, ARefusedHotkeyLeavesItsEditEmptyAndSaysWhyInOneLogLine) {
    setInto("RecordingHotkey", QKeySequence(Qt::Key_F4));
    ASSERT_EQ(held().size(), 1u);
    EXPECT_EQ(held().at(1), key(0, "F4"));
    EXPECT_TRUE(edit("RecordingHotkey")->keySequence().isEmpty());
    EXPECT_EQ(log(), "Hotkey F4 refused: the other hotkey holds it\n");

    // A run widens F4 to any modifiers; another program holding Shift+F4
    // keeps it exact, and the run's log says so first.
    platform.holdElsewhere(ModShift, keyCodeFromName("F4"));
    widget<QAbstractButton>("Running")->setChecked(true);
    EXPECT_TRUE(log().startsWith("Hotkey F4 stops this run only with no other keys held: another program holds F4 "
                                 "with other modifiers\n"))
        << log().toStdString();
    EXPECT_EQ(held().at(1), key(0, "F4"));
    EXPECT_EQ(edit("Hotkey")->keySequence(), QKeySequence(Qt::Key_F4));
}

TEST_F(WindowStart, BrowseSetsTheChosenScriptAndACancelKeepsTheOld) {
    QString caption, start, filter;
    QString answer = "/tmp/chosen.lua";
    widget<QRadioButton>("UseScript")->setChecked(true);
    window.setFileDialogs({}, [&](QWidget*, const QString& c, const QString& s, const QString& f) {
        caption = c, start = s, filter = f;
        return answer;
    });
    click("Browse");
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), "/tmp/chosen.lua");
    EXPECT_EQ(caption, "Browse For Script");
    EXPECT_EQ(start, "LuaScripts/untitled.lua");
    EXPECT_EQ(filter, "Lua (*.lua)");
    answer.clear();
    click("Browse");
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), "/tmp/chosen.lua");
}

TEST_F(WindowStart, EditScriptTriesTheFileThenTheWorkingFolderThenWarns) {
    widget<QRadioButton>("UseScript")->setChecked(true);
    std::vector<QUrl> tried;
    bool secondOpens = true;
    window.setUrlOpener([&](const QUrl& url) {
        tried.push_back(url);
        return tried.size() == 2 && secondOpens;
    });
    widget<QLineEdit>("ScriptLocation")->setText("LuaScripts/Table.lua");
    click("EditScript");
    ASSERT_EQ(tried.size(), 2u);
    EXPECT_EQ(tried[1].toLocalFile(), QDir::currentPath() + "/LuaScripts/Table.lua");

    tried.clear();
    secondOpens = false;
    click("EditScript");
    EXPECT_EQ(tried.size(), 2u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "ERROR");
    EXPECT_EQ(boxes[0].text,
              "Error openning the lua file\nPlease make sure to set the default program for openning *.lua files "
              "as a text editor\n");
}

TEST_F(WindowStart, AnAbsolutePathNamesItsFileAndAMissingFileIsAFailure) {
    widget<QRadioButton>("UseScript")->setChecked(true);
    std::vector<QUrl> tried;
    window.setUrlOpener([&](const QUrl& url) {
        tried.push_back(url);
        return true;
    });
    widget<QLineEdit>("ScriptLocation")->setText("/home/user/scripts/a b.lua");
    click("EditScript");
    ASSERT_EQ(tried.size(), 1u);
    EXPECT_EQ(tried[0].toLocalFile(), "/home/user/scripts/a b.lua");
}

TEST_F(WindowStart, AFileThatIsNotThereCannotBeOpened) {
    // The desktop opener would report success for it; the window does not.
    widget<QRadioButton>("UseScript")->setChecked(true);
    widget<QLineEdit>("ScriptLocation")->setText("no/such/folder/script.lua");
    click("EditScript");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "ERROR");
}

}  // namespace
