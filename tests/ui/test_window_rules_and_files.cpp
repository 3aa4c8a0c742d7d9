// Which controls the window enables, and its table, script, log and
// recording files: what the dialogs ask, what is written and read back, and
// what the user is told when a file is not saved or not loaded.

#include <QDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/mount.h>
#include <memory>
#include <unistd.h>

#include "WindowFixture.h"

using table::TableRows;

namespace {

QStringList names(const char* spaced) { return QString::fromLatin1(spaced).split(' ', Qt::SkipEmptyParts); }

const char EditorAndTable[] = "SpecialKeys SpecialKeysLabel InputType InputTypeLabel MouseX MouseXLabel MouseY MouseYLabel "
                              "MousePosLabel ScrollStrength ScrollStrengthLabel Delay DelayLabel InputLocation "
                              "InputLocationLabel MouseKeys MouseKeysLabel Table AddNewInput ResetTable "
                              "ChangeSelectedInput InsertBeforeSelectedInput DeleteSelectedInput LoadTable SaveTable ";
const char Settings[] = "RecordingHotkey MonitorMouseMovement Hotkey Loop UseTable ConvertTableToScript ";

struct EnableCase {
    const char* name;
    std::function<void(WindowFixture&)> set;
    QStringList on, off;
};

class WindowEnableRules : public WindowFixture, public testing::WithParamInterface<EnableCase> {};

TEST_P(WindowEnableRules, EnablesExactlyWhatFits) {
    GetParam().set(*this);
    window.updateEnabledStates();
    for (const QString& name : GetParam().on) EXPECT_TRUE(enabled(qPrintable(name))) << name.toStdString();
    for (const QString& name : GetParam().off) EXPECT_FALSE(enabled(qPrintable(name))) << name.toStdString();
}

void selectedRowAnd(WindowFixture& t, const char* box) {
    t.addRow("A");
    t.grid()->selectRow(0);
    t.check(box);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowEnableRules,
    testing::Values(
        EnableCase{"IdleTableKeyboard", [](WindowFixture&) {},
                   names("Table AddNewInput ResetTable LoadTable SaveTable ConvertTableToScript Delay InputLocation "
                         "SpecialKeys InputType StartStop Recording Hotkey LuaLog UseScript"),
                   names("ChangeSelectedInput InsertBeforeSelectedInput DeleteSelectedInput MouseKeys MouseX "
                         "ScrollStrength Browse ScriptLocation EditScript Repeat")},
        EnableCase{"ScriptMode", [](WindowFixture& t) { t.check("UseScript"); }, names("ConvertTableToScript Browse ScriptLocation EditScript"), names(EditorAndTable)},
        EnableCase{"Running", [](WindowFixture& t) { selectedRowAnd(t, "Running"); }, names("StartStop Running LuaLog"), names(EditorAndTable) + names(Settings) + names("RecordingStartStop Recording")},
        EnableCase{"Recording", [](WindowFixture& t) { selectedRowAnd(t, "Recording"); }, names("RecordingStartStop Recording LuaLog"), names(EditorAndTable) + names(Settings) + names("StartStop Running")},
        EnableCase{"Loop", [](WindowFixture& t) { t.check("Loop"); }, names("Repeat RepeatLabel"), {}},
        EnableCase{"LoggingOffDuringARun", [](WindowFixture& t) { t.check("checkBox", false), t.check("Running"); }, {"ClearLogOnPlay"}, names("LuaLog LuaLogLabel SaveLogAsText ClearLog OpenLogWindow")},
        EnableCase{"MouseNone", [](WindowFixture& t) { t.chooseMouse("None"); }, {"MouseKeys"}, names("SpecialKeys InputType MouseX ScrollStrength")},
        EnableCase{"MouseDelta", [](WindowFixture& t) { t.chooseMouse("Mouse Delta Pos"); }, names("MouseX MouseY"), names("InputType ScrollStrength")},
        EnableCase{"Scroll", [](WindowFixture& t) { t.chooseMouse("Scroll Up"); }, {"ScrollStrength"}, names("MouseY InputType")},
        EnableCase{"MouseButton", [](WindowFixture& t) { t.chooseMouse("MouseMiddle"); }, {"InputType"}, names("MouseY SpecialKeys")},
        EnableCase{"NoInputLocation", [](WindowFixture& t) { t.combo("InputLocation")->setCurrentText("None"); }, {"Delay"}, names("MouseKeys SpecialKeys InputType")}),
    [](const testing::TestParamInfo<EnableCase>& info) { return std::string(info.param.name); });

using WindowFiles = WindowFixture;

TEST_F(WindowFiles, LoadGivesBackTheSavedRowsKeepsEveryReadableLineAndSaysWhatItCouldNot) {
    addRow("A", 1);
    chooseMouse("Mouse Position");
    click("AddNewInput");
    const TableRows saved = rows();
    answer = dir.filePath("t.table");
    click("SaveTable");
    click("ResetTable");
    click("LoadTable");
    EXPECT_EQ(asked, QStringList({"Save File", "Tables/untitled.table", "Table (*.table)", "Load File",
                                  "Tables/untitled.table", "Table (*.table)"}));
    EXPECT_EQ(rows(), saved);

    const QString missing = dir.filePath("missing.table");
    window.loadTableFile(missing);
    answer.clear();
    click("LoadTable");  // cancelled
    EXPECT_EQ(rows(), saved);
    EXPECT_EQ(boxes, QStringList({"File not loaded: " + missing +
                                  " could not be loaded:\nNo such file or directory\n\nThe table is unchanged."}));

    const QString three = file("three.table", "Nope:Hit:1\r\nbroken\r\nScroll Up::5\r\n");
    window.loadTableFile(three);
    EXPECT_EQ(rows(), TableRows({{"Nope", "Hit", "1"}, {"Scroll Up", "", "5"}}));
    EXPECT_EQ(grid()->item(0, 0)->background().color(), QColor(Qt::red));
    EXPECT_TRUE(log().endsWith("-- " + three + ": line 2 skipped: it holds 0 \":\" where a row holds 2\n"));

    window.loadTableFile(file("empty.table", ""));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(WindowFiles, SaveTableAsScriptWritesItAndSwitchesToItUnlessCancelled) {
    addRow("A", 100);
    click("ConvertTableToScript");
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), "LuaScripts/Table.lua");
    EXPECT_TRUE(checked("UseTable"));

    answer = dir.filePath("t.lua");
    click("ConvertTableToScript");
    EXPECT_EQ(asked.mid(3), QStringList({"Save File", "LuaScripts/untitled.lua", "Lua (*.lua)"}));
    EXPECT_TRUE(read(answer).endsWith("ReadMe.txt.\nHitKey(\"A\",50,50.000000)\n"));
    EXPECT_EQ(widget<QLineEdit>("ScriptLocation")->text(), answer);
    EXPECT_TRUE(checked("UseScript"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList("t.lua"));
}

// Each of the four saves, onto a disk with no room left: the file it was to
// replace keeps its bytes, and a box names the file and the reason.
TEST_F(WindowFiles, SavesOntoAFullDiskKeepTheOldFileAndSayWhy) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs as a full disk needs root";
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    ASSERT_EQ(mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k"), 0) << std::strerror(errno);
    const std::shared_ptr<void> unmount(nullptr, [&](void*) { umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    addRow("A", 1);
    widget<QPlainTextEdit>("LuaLog")->setPlainText("a line of the log\n");
    const std::pair<const char*, std::function<void()>> saves[] = {
        {"t.table", [&] { click("SaveTable"); }},
        {"t.lua", [&] { click("ConvertTableToScript"); }},
        {"log.txt", [&] { click("SaveLogAsText"); }},
        {"recording.lua", [&] { window.convertRecordingToScript(); }},
    };
    for (const auto& save : saves) file(QString("disk/") + save.first, "old\n");
    QFile filler(disk + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
    }

    for (const auto& save : saves) {
        answer = disk + "/" + save.first;
        boxes.clear();
        save.second();
        EXPECT_EQ(read(answer), "old\n") << save.first;
        EXPECT_EQ(boxes, QStringList("File not saved: " + answer +
                                     " could not be saved:\nNo space left on device\n\n"
                                     "A file that was there before is unchanged."));
    }
    // A script that was not written is not the one to run.
    EXPECT_TRUE(checked("UseTable"));
    EXPECT_EQ(QDir(disk).entryList(QDir::Files).size(), 5);
}

}  // namespace
