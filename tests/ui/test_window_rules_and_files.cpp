// The window applies the enable rules to its widgets, saves and loads tables
// through its dialogs, saves the table as a script it then runs, and says why
// when a file is not saved or not loaded.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <unistd.h>

#include "WindowFixture.h"

using table::TableRows;

namespace {

using WindowEnableRules = WindowFixture;

const char* const EditorWidgets[] = {"SpecialKeys", "SpecialKeysLabel", "MouseKeys", "MouseKeysLabel",
                                     "InputType", "InputTypeLabel", "MouseX", "MouseXLabel", "MouseY",
                                     "MouseYLabel", "MousePosLabel", "ScrollStrength", "ScrollStrengthLabel",
                                     "Delay", "DelayLabel", "InputLocation", "InputLocationLabel"};
const char* const TableWidgets[] = {"Table", "AddNewInput", "ResetTable", "ChangeSelectedInput",
                                    "InsertBeforeSelectedInput", "DeleteSelectedInput", "LoadTable", "SaveTable"};

TEST_F(WindowEnableRules, StartsIdleInTableModeForKeyboardInput) {
    for (const char* on : {"Table", "AddNewInput", "ResetTable", "LoadTable", "SaveTable", "ConvertTableToScript",
                           "Delay", "InputLocation", "SpecialKeys", "InputType", "StartStop", "Recording",
                           "Hotkey", "LuaLog", "UseScript"})
        EXPECT_TRUE(enabled(on)) << on;
    for (const char* off : {"ChangeSelectedInput", "InsertBeforeSelectedInput", "DeleteSelectedInput", "MouseKeys",
                            "MouseX", "ScrollStrength", "Browse", "ScriptLocation", "EditScript", "Repeat"})
        EXPECT_FALSE(enabled(off)) << off;
}

TEST_F(WindowEnableRules, SelectionSwitchesRowButtons) {
    addRow("A", 1);
    selectRow(0);
    EXPECT_TRUE(enabled("ChangeSelectedInput"));
    EXPECT_TRUE(enabled("InsertBeforeSelectedInput"));
    click("DeleteSelectedInput");  // the only row
    EXPECT_FALSE(enabled("ChangeSelectedInput"));
    EXPECT_FALSE(enabled("DeleteSelectedInput"));
}

TEST_F(WindowEnableRules, ScriptModeKeepsOnlySaveTableAsScriptFromTheTable) {
    widget<QAbstractButton>("UseScript")->setChecked(true);
    for (const char* name : EditorWidgets) EXPECT_FALSE(enabled(name)) << name;
    for (const char* name : TableWidgets) EXPECT_FALSE(enabled(name)) << name;
    for (const char* name : {"ConvertTableToScript", "Browse", "ScriptLocation", "EditScript"})
        EXPECT_TRUE(enabled(name)) << name;
    widget<QAbstractButton>("UseTable")->setChecked(true);
    EXPECT_TRUE(enabled("Table"));
    EXPECT_FALSE(enabled("Browse"));
}

TEST_F(WindowEnableRules, RunOrRecordingLocksEverythingButItsOwnSwitch) {
    addRow("A", 1);
    selectRow(0);
    for (const char* busy : {"Running", "Recording"}) {
        SCOPED_TRACE(busy);
        const bool running = busy == std::string("Running");
        widget<QAbstractButton>(busy)->setChecked(true);
        window.updateEnabledStates();
        for (const char* name : EditorWidgets) EXPECT_FALSE(enabled(name)) << name;
        for (const char* name : TableWidgets) EXPECT_FALSE(enabled(name)) << name;
        for (const char* name : {"RecordingHotkey", "MonitorMouseMovement", "Hotkey", "Loop", "UseTable",
                                 "ConvertTableToScript"})
            EXPECT_FALSE(enabled(name)) << name;
        EXPECT_EQ(enabled("StartStop"), running);
        EXPECT_EQ(enabled("Running"), running);
        EXPECT_EQ(enabled("RecordingStartStop"), !running);
        EXPECT_EQ(enabled("Recording"), !running);
        EXPECT_TRUE(enabled("LuaLog"));
        widget<QAbstractButton>(busy)->setChecked(false);
        window.updateEnabledStates();
        EXPECT_TRUE(enabled("Table"));
    }
}

TEST_F(WindowEnableRules, LoopAndLoggingSwitchTheirControls) {
    widget<QAbstractButton>("Loop")->setChecked(true);
    EXPECT_TRUE(enabled("Repeat"));
    EXPECT_TRUE(enabled("RepeatLabel"));
    widget<QAbstractButton>("checkBox")->setChecked(false);
    widget<QAbstractButton>("Running")->setChecked(true);
    window.updateEnabledStates();
    for (const char* name : {"LuaLog", "LuaLogLabel", "SaveLogAsText", "ClearLog", "OpenLogWindow"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_TRUE(enabled("ClearLogOnPlay"));
}

TEST_F(WindowEnableRules, MouseChoicesFollowTheEntry) {
    chooseMouse("None", 0);
    EXPECT_TRUE(enabled("MouseKeys"));
    for (const char* off : {"SpecialKeys", "InputType", "MouseX", "ScrollStrength"}) EXPECT_FALSE(enabled(off)) << off;
    combo("MouseKeys")->setCurrentText("Mouse Delta Pos");
    EXPECT_TRUE(enabled("MouseY"));
    combo("MouseKeys")->setCurrentText("Scroll Up");
    EXPECT_TRUE(enabled("ScrollStrength"));
    EXPECT_FALSE(enabled("MouseY"));
    combo("MouseKeys")->setCurrentText("MouseMiddle");
    EXPECT_TRUE(enabled("InputType"));
}

// Answers the file dialogs and remembers what they were asked.
class WindowFiles : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        auto answer = [this](QWidget* owner, const QString& caption, const QString& start, const QString& filter) {
            asked << (owner == &window ? "window" : "other") << caption << start << filter;
            return answerPath;
        };
        window.setFileDialogs(answer, answer);
    }
    QTemporaryDir dir;
    QString answerPath;
    QStringList asked;
};

TEST_F(WindowFiles, SaveThenLoadGivesTheRowsBack) {
    addRow("A", 1);
    chooseMouse("Mouse Position", 0);
    click("AddNewInput");
    chooseMouse("None", 500);
    click("AddNewInput");
    const TableRows saved = rows();
    answerPath = dir.filePath("t.table");
    click("SaveTable");
    EXPECT_EQ(asked, QStringList({"window", "Save File", "Tables/untitled.table", "Table (*.table)"}));
    click("ResetTable");
    asked.clear();
    click("LoadTable");
    EXPECT_EQ(asked, QStringList({"window", "Load File", "Tables/untitled.table", "Table (*.table)"}));
    EXPECT_EQ(rows(), saved);
}

TEST_F(WindowFiles, LoadKeepsEveryReadableLineAndSaysWhatItCouldNotLoad) {
    addRow("A", 1);
    const QString missing = dir.filePath("missing.table");
    window.loadTableFile(missing);
    EXPECT_EQ(rows().size(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "File not loaded");
    EXPECT_EQ(boxes[0].text, missing + " could not be loaded:\nNo such file or directory\n\nThe table is unchanged.");
    answerPath.clear();  // a cancelled dialog
    click("LoadTable");
    EXPECT_EQ(rows().size(), 1);

    QFile file(dir.filePath("three.table"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Nope:Hit:1\r\nbroken\r\nScroll Up::5\r\n");
    file.close();
    window.loadTableFile(file.fileName());
    EXPECT_EQ(rows(), TableRows({{"Nope", "Hit", "1"}, {"Scroll Up", "", "5"}}));
    EXPECT_EQ(grid()->item(0, 0)->background().color(), QColor(Qt::red));  // loaded rows are checked too
    EXPECT_TRUE(widget<QPlainTextEdit>("LuaLog")->toPlainText().endsWith(
        "-- " + file.fileName() + ": line 2 skipped: it holds 0 \":\" where a row holds 2\n"));

    QFile empty(dir.filePath("empty.table"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    window.loadTableFile(empty.fileName());
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(WindowFiles, SaveTableAsScriptWritesItAndSwitchesToIt) {
    addRow("A", 100);
    EXPECT_EQ(window.buildTableScript(), QByteArray("HitKey(\"A\",50,50.000000)\n"));
    EXPECT_EQ(window.translateRow(0), window.buildTableScript());
    answerPath = dir.filePath("t.lua");
    click("ConvertTableToScript");
    EXPECT_EQ(asked, QStringList({"window", "Save File", "LuaScripts/untitled.lua", "Lua (*.lua)"}));
    QFile script(answerPath);
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_TRUE(script.readAll().endsWith("ReadMe.txt.\nHitKey(\"A\",50,50.000000)\n"));
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), answerPath);
    EXPECT_TRUE(widget<QAbstractButton>("UseScript")->isChecked());
    EXPECT_FALSE(enabled("Table"));
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Each of the four saves, onto a disk with no room left: the file it was to
// replace keeps its bytes, and a box names the file and the reason.
TEST_F(WindowFiles, SavesOntoAFullDiskKeepTheOldFileAndSayWhy) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs as a full disk needs root";
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    ASSERT_EQ(mount("tmpfs", disk.toLocal8Bit().constData(), "tmpfs", 0, "size=64k"), 0) << std::strerror(errno);
    struct Unmount {
        QByteArray path;
        ~Unmount() { umount2(path.constData(), MNT_DETACH); }
    } unmount{disk.toLocal8Bit()};

    addRow("A", 1);
    widget<QPlainTextEdit>("LuaLog")->setPlainText("a line of the log\n");
    const struct {
        const char* file;
        std::function<void()> save;
    } saves[] = {
        {"t.table", [&] { click("SaveTable"); }},
        {"t.lua", [&] { click("ConvertTableToScript"); }},
        {"log.txt", [&] { click("SaveLogAsText"); }},
        {"recording.lua", [&] { window.convertRecordingToScript(); }},
    };
    for (const auto& save : saves) {
        QFile old(disk + "/" + save.file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        ASSERT_EQ(old.write("old\n"), 4);
    }
    const int filler = ::open((disk + "/filler").toLocal8Bit().constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(filler, 0);
    const QByteArray block(4096, 'x');
    while (::write(filler, block.constData(), block.size()) > 0) {
    }
    ::close(filler);

    for (const auto& save : saves) {
        SCOPED_TRACE(save.file);
        answerPath = disk + "/" + save.file;
        boxes.clear();
        save.save();
        EXPECT_EQ(contents(answerPath), QByteArray("old\n"));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "File not saved");
        EXPECT_EQ(boxes[0].text, answerPath + " could not be saved:\nNo space left on device\n\n"
                                              "A file that was there before is unchanged.");
    }
    // A script that was not written is not the one to run.
    EXPECT_TRUE(widget<QAbstractButton>("UseTable")->isChecked());
    EXPECT_EQ(QDir(disk).entryList(QDir::Files).size(), 5);
}

TEST_F(WindowFiles, CancelledScriptDialogKeepsTableMode) {
    click("ConvertTableToScript");
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), "LuaScripts/Table.lua");
    EXPECT_TRUE(widget<QAbstractButton>("UseTable")->isChecked());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

}  // namespace
