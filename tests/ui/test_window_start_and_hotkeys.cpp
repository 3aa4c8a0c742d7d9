// The window as it starts, its global hotkeys as the edits set them, and
// the script file buttons.

#include <QDir>
#include <algorithm>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QUrl>

#include "WindowFixture.h"
#include "ui/LogWindow.h"

namespace {

using namespace platform;

class WindowStart : public WindowFixture {
public:
    // Types a sequence into an edit, as the user's key presses would, and
    // returns what the edit then shows.
    QString setInto(const char* name, const QKeySequence& sequence) {
        auto* edit = widget<QKeySequenceEdit>(name);
        edit->setKeySequence(sequence);
        return edit->keySequence().toString(QKeySequence::PortableText);
    }
    std::map<int, FakePlatform::Hotkey> held() { return platform.hotkeys(); }
    static FakePlatform::Hotkey key(uint32_t modifiers, const char* name) { return {modifiers, keyCodeFromName(name)}; }
};

TEST_F(WindowStart, StartsInTableModeWithTheKeyNamesAndAHiddenLogWindowThatLoggingOffHides) {
    EXPECT_TRUE(checked("UseTable"));
    QStringList names;
    for (int i = 1; i < combo("SpecialKeys")->count(); ++i) names << combo("SpecialKeys")->itemText(i);
    EXPECT_EQ(combo("SpecialKeys")->itemText(0), "None");
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_TRUE(names.contains("Enter") && names.contains("F4") && !names.contains("MouseLeft"));
    EXPECT_TRUE(widget<QLabel>("DesktopNotice")->isHidden());
    LogWindow* log = window.logWindowWidget();
    EXPECT_FALSE(log->isVisible());
    click("OpenLogWindow");
    EXPECT_TRUE(log->isVisible());
    check("checkBox", false);
    EXPECT_FALSE(log->isVisible());
}

TEST_F(WindowStart, EditsRegisterWhatTheyShowOrStayEmptyAndClearButtonsUnregisterTheirOwn) {
    const struct {
        const char* edit;
        QKeySequence typed;
        const char* shown;  // empty: nothing registered
        uint32_t modifiers;
        const char* key;
    } cases[] = {
        {"Hotkey", QKeySequence("F12"), "", 0, nullptr},
        {"Hotkey", QKeySequence(Qt::Key_Launch0), "", 0, nullptr},  // a key the vocabulary does not know
        // The comma key drops Shift; the edit shows what was registered.
        {"Hotkey", QKeySequence("Ctrl+Alt+Shift+,"), "Ctrl+Alt+,", ModControl | ModAlt, ","},
        {"RecordingHotkey", QKeySequence("Ctrl+A, Alt+B"), "Alt+B", ModAlt, "B"},  // only the last chord counts
    };
    for (const auto& c : cases) {
        const int id = c.edit == std::string("Hotkey") ? 1 : 2;
        const std::string typed = c.typed.toString().toStdString();
        EXPECT_EQ(setInto(c.edit, c.typed), c.shown) << typed;
        if (c.key) EXPECT_EQ(held().at(id), key(c.modifiers, c.key)) << typed;
        else EXPECT_EQ(held().count(id), 0u) << typed;
    }
    // Each clear button unregisters its own hotkey only.
    click("ResetHotKey");
    EXPECT_TRUE(widget<QKeySequenceEdit>("Hotkey")->keySequence().isEmpty());
    EXPECT_EQ(held(), (std::map<int, FakePlatform::Hotkey>{{2, key(ModAlt, "B")}}));
    click("ResetRecordingHotKey");
    EXPECT_TRUE(widget<QKeySequenceEdit>("RecordingHotkey")->keySequence().isEmpty());
    EXPECT_TRUE(held().empty());
}

TEST_F(WindowStart, ARefusedHotkeyLeavesItsEditEmptyAndSaysWhyInOneLogLine) {
    EXPECT_EQ(setInto("RecordingHotkey", QKeySequence(Qt::Key_F4)), "");
    EXPECT_EQ(held(), (std::map<int, FakePlatform::Hotkey>{{1, key(0, "F4")}}));
    EXPECT_EQ(log(), "Hotkey F4 refused: the other hotkey holds it\n");

    // A run widens F4 to any modifiers; another program holding Shift+F4
    // keeps it exact, and the run's log says so first.
    platform.holdElsewhere(ModShift, keyCodeFromName("F4"));
    check("Running");
    EXPECT_TRUE(log().startsWith("Hotkey F4 stops this run only with no other keys held: another program holds F4 "
                                 "with other modifiers\n"))
        << log().toStdString();
    EXPECT_EQ(held().at(1), key(0, "F4"));
}

// A desktop without global hotkeys or recording: the window disables their
// controls, says why above them and registers nothing.
TEST(LimitedDesktop, DisablesWhatTheDesktopLacksAndSaysWhy) {
    FakePlatform platform;
    platform.setMissing(Service::GlobalHotkeys, "no hotkeys here");
    platform.setMissing(Service::Recording, "no recording here");
    platform.setMissing(Service::PointerPosition, "no pointer here");
    Recorder recorder;
    MainWindow window(platform, recorder);
    auto* notice = window.findChild<QLabel*>("DesktopNotice");
    EXPECT_EQ(notice->text(), "Global hotkeys are not available on this desktop (no hotkeys here): bind keys in the "
                              "compositor to quillpress --toggle-run and quillpress --toggle-record\nno recording here");
    EXPECT_FALSE(notice->isHidden());
    EXPECT_TRUE(platform.hotkeys().empty());
    window.setRecordingChecked(true);
    window.findChild<QAbstractButton*>("UseScript")->setChecked(true);
    for (const char* name : {"Hotkey", "ResetHotKey", "RecordingHotkey", "Recording", "RecordingStartStop",
                             "MonitorMouseMovement"})
        EXPECT_FALSE(window.findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_TRUE(window.findChild<QWidget*>("StartStop")->isEnabled());
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("LuaLog")->toPlainText(), "-- Recording not started: no recording here\n");
}

// Where the desktop tells the pointer's place only after our own moves, a
// recording cannot know where the user left it: no start position, even
// with the box checked by settings from another desktop.
TEST(LimitedDesktop, ARecordingWithoutThePointerPositionStartsWithoutOne) {
    FakePlatform platform;
    platform.setMissing(Service::PointerPosition, "no pointer here");
    Recorder recorder;
    MainWindow window(platform, recorder);
    auto* startPosition = window.findChild<QAbstractButton*>("MonitorStartPosition");
    EXPECT_FALSE(startPosition->isEnabled());
    EXPECT_EQ(startPosition->toolTip(), "no pointer here");
    EXPECT_TRUE(window.findChild<QLabel*>("DesktopNotice")->isHidden());
    startPosition->setChecked(true);
    window.setRecordingChecked(true);
    EXPECT_TRUE(window.isRecordingChecked());
    EXPECT_EQ(recorder.records(), "");
}

TEST_F(WindowStart, BrowseSetsTheScriptAndEditScriptOpensItFromTheRootThenTheWorkingFolderOrWarns) {
    check("UseScript");
    answer = "/tmp/chosen.lua";
    click("Browse");
    answer.clear();
    click("Browse");
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), "/tmp/chosen.lua");
    EXPECT_EQ(asked.mid(0, 3), QStringList({"Browse For Script", "LuaScripts/untitled.lua", "Lua (*.lua)"}));

    // The desktop opener would report success for a file that is not there; the window does not.
    widget<QLineEdit>("ScriptLocation")->setText("no/such/folder/script.lua");
    click("EditScript");
    QStringList tried;
    QString opens;
    window.setUrlOpener([&](const QUrl& url) { return (tried << url.toLocalFile()).last() == opens; });
    const QString relative = QDir::currentPath() + "/LuaScripts/Table.lua";
    const struct {
        const char* path;
        QString opens;
        QStringList tried;
    } cases[] = {
        {"/home/user/scripts/a b.lua", "/home/user/scripts/a b.lua", {"/home/user/scripts/a b.lua"}},
        {"LuaScripts/Table.lua", relative, {"/LuaScripts/Table.lua", relative}},
        {"LuaScripts/Table.lua", "", {"/LuaScripts/Table.lua", relative}},
    };
    for (const auto& c : cases) {
        tried.clear();
        opens = c.opens;
        widget<QLineEdit>("ScriptLocation")->setText(c.path);
        click("EditScript");
        EXPECT_EQ(tried, c.tried) << c.path;
    }
    const QString warning = "ERROR: Error openning the lua file\nPlease make sure to set the default program for "
                            "openning *.lua files as a text editor\n";
    EXPECT_EQ(boxes, QStringList({warning, warning}));
}

}  // namespace
