// The input table: its file (format, which lines load, limits, failed
// writes), which cells are valid, and its Lua text in any locale. Rows from
// the editor and dragging are checked through the window's widgets.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <tuple>
#include <sys/wait.h>
#include <unistd.h>

#include "input/KeyNames.h"
#include "table/RowValidity.h"
#include "table/TableFile.h"
#include "table/TableTranslation.h"

using namespace table;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(TableFile, RowsAreSavedAsColonJoinedLinesAndLoadBackUnchanged) {
    const TableRows rows = {{"A", "Hit", "100"}, {"Mouse Position", "10   -20", "0"}, {"None", "", "500"}};
    QTemporaryDir dir;
    ASSERT_TRUE(writeTableFile(dir.filePath("rows.table"), rows).written);
    EXPECT_EQ(readAll(dir.filePath("rows.table")), "A:Hit:100\nMouse Position:10   -20:0\nNone::500\n");
    EXPECT_EQ(readTableFile(dir.filePath("rows.table")).table.rows, rows);
}

TEST(TableFile, EveryLineOfThreeFieldsLoadsAndEachOtherLineIsNoted) {
    const struct {
        QByteArray contents;
        TableRows rows;
        QStringList notes;
    } cases[] = {
        {"A:Hit:1\n\nB:Hit\nC:Hit:3:\nD:Hit:4\n",
         {{"A", "Hit", "1"}, {"D", "Hit", "4"}},
         {"line 2 skipped: it is empty", "line 3 skipped: it holds 1 \":\" where a row holds 2",
          "line 4 skipped: it holds 3 \":\" where a row holds 2"}},
        {"A:Hit:1\r\nX  :  y :\r\nB:Press:2", {{"A", "Hit", "1"}, {"X  ", "  y ", ""}, {"B", "Press", "2"}}, {}},
        {QByteArray("A\0B:Hit:1\n", 10), {{QString::fromUtf8("A\0B", 3), "Hit", "1"}}, {}},
        {"\xc3\x9c:Hit:1\nN\xff\xc3:\xdc:1\n",
         {{QString::fromUtf8("\xc3\x9c"), "Hit", "1"},
          {QString::fromUtf8("N\xef\xbf\xbd\xef\xbf\xbd"), QString::fromUtf8("\xef\xbf\xbd"), "1"}},
         {QString::fromUtf8("line 2: bytes that are not UTF-8 text were replaced by \xef\xbf\xbd")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents.toStdString());
        const ParsedTable parsed = parseTableFile(c.contents);
        EXPECT_EQ(parsed.rows, c.rows);
        EXPECT_EQ(parsed.notes, c.notes);
    }
}

TEST(TableFile, OversizedAndOverlongFilesAreRefusedWithTheReason) {
    QTemporaryDir dir;
    // Sparse, so it costs no disk; reading it whole would not fit a byte array.
    ASSERT_TRUE(writeAll(dir.filePath("huge.table"), "") && QFile::resize(dir.filePath("huge.table"), qint64(3) << 30));
    EXPECT_EQ(readTableFile(dir.filePath("huge.table")).failure, "the file is larger than 4 MiB, the most a table file may hold");

    QByteArray lines;
    for (int line = 0; line <= MaxTableRows; ++line) lines += "A:Hit:1\n";
    ASSERT_TRUE(writeAll(dir.filePath("long.table"), lines));
    const TableFileRead tooLong = readTableFile(dir.filePath("long.table"));
    EXPECT_FALSE(tooLong.read);
    EXPECT_EQ(tooLong.failure, "the file has more than 100000 lines, the most a table may hold");
    EXPECT_TRUE(tooLong.table.rows.isEmpty());
}

// How a write into a folder without write permission went wrong: written
// anyway, no reason given, the old file touched (0: none of these).
int lockedFolderWriteFaults() {
    QTemporaryDir dir;
    const QString path = dir.filePath("locked/kept.table");
    if (!QDir(dir.path()).mkdir("locked") || !writeAll(path, "A:Hit:100\n")) return 100;
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    const WriteOutcome outcome = writeTableFile(path, {{"B", "Press", "1"}});
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return outcome.written + outcome.reason.isEmpty() + (readAll(path) != "A:Hit:100\n");
}

// Into a folder that is not there, or one without write permission.
// Permissions do not hold root back: as root, the child gives root up.
TEST(TableFile, AWriteThatCannotCreateItsFileKeepsTheOldFileAndGivesTheReason) {
    QTemporaryDir dir;
    EXPECT_FALSE(writeTableFile(dir.filePath("missing/kept.table"), {}).reason.isEmpty());
    constexpr uid_t Nobody = 65534;
    const pid_t child = fork();
    if (child == 0) _exit(geteuid() == 0 && (setgid(Nobody) != 0 || setuid(Nobody) != 0) ? 101 : lockedFolderWriteFaults());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(RowValidity, EachCellIsJudgedByWhatItsRowKindNeeds) {
    constexpr CellVerdict Keep = CellVerdict::Keep, Ok = CellVerdict::Valid, Bad = CellVerdict::Invalid;
    const struct {
        TableRow row;
        CellVerdict key, input, delay;
    } cases[] = {
        // A key or button needs a known name and a case-exact action.
        {{"A", "Hit", "0"}, Ok, Ok, Ok}, {{"Enter", "Press", " 1.5 "}, Ok, Ok, Ok}, {{"A", "hit", "1"}, Ok, Bad, Ok},
        {{"a", "Hit", "1"}, Bad, Keep, Ok}, {{"None", "anything", "1"}, Ok, Keep, Ok}, {{"", "", "1"}, Ok, Keep, Ok},
        // A pointer row needs exactly two integers.
        {{"Mouse Position", "+7 2147483647", "0"}, Ok, Ok, Ok}, {{"Mouse Delta Pos", " 1 \t -2 ", "0"}, Ok, Ok, Ok},
        {{"Mouse Position", "1 2147483648", "0"}, Ok, Bad, Ok}, {{"Mouse Position", "100", "0"}, Ok, Bad, Ok},
        {{"Mouse Position", "1 2 3", "0"}, Ok, Bad, Ok}, {{"Mouse Delta Pos", "1.5 2", "0"}, Ok, Bad, Ok},
        // A wheel row needs a finite number, the delay a finite one of 0 or more.
        {{"Scroll Up", "1e2", "-1"}, Ok, Ok, Bad}, {{"Scroll Down", "", ""}, Ok, Bad, Bad},
        {{"Scroll Up", "0,33", "1,5"}, Ok, Bad, Bad}, {{"Scroll Up", "inf", "inf"}, Ok, Bad, Bad},
        {{"Scroll Down", "nan", "nan"}, Ok, Bad, Bad},
    };
    initKeyNames();
    for (const auto& c : cases) {
        SCOPED_TRACE((c.row.key + "|" + c.row.input + "|" + c.row.delay).toStdString());
        const RowVerdict v = checkRow(c.row);
        EXPECT_EQ(std::tie(v.key, v.input, v.delay), std::tie(c.key, c.input, c.delay));
    }
}

TEST(TableTranslation, EachRowGivesItsCallsAndTheScriptFileIsTwoCommentLinesThenTheRowsInOrder) {
    const struct {
        TableRow row;
        const char* lua;
    } cases[] = {
        // A hit holds half its delay below 100 ms, 50 ms from there on.
        {{"A", "Hit", "99"}, "HitKey(\"A\",49.500000,49.500000)\n"},
        {{"A", "Hit", "100"}, "HitKey(\"A\",50,50.000000)\n"},
        {{"MouseX2", "Hit", "2.5e3"}, "HitMouseButton(\"MouseX2\",50,2450.000000)\n"},
        {{"MouseX2", "Hit", "0.5"}, "HitMouseButton(\"MouseX2\",0.250000,0.250000)\n"},
        {{"A", "Hit", "soon"}, "HitKey(\"A\")\n"}, {{"A", "Release", "0.5"}, "ReleaseKey(\"A\")\nMilliSleep(0.5)\n"},
        {{"MouseRight", "Release", "0"}, "ReleaseMouseButton(\"MouseRight\")\n"},
        {{"A", "Press", "-5"}, "PressKey(\"A\")\n"}, {{"A", "Press", "x"}, "PressKey(\"A\")\n"},
        {{"None", "Hit", "500"}, ""}, {{"", "", " +7 "}, "MilliSleep(7)\n"},
        {{"\\", "Hit", "100"}, "HitKey(\"\\\\\",50,50.000000)\n"}, {{"A", "Log", "0"}, "Log(A)\n"},
        {{"Mouse Delta Pos", "  -10   +20  30", "0"}, "ChangeMousePosition(-10,20)\n"},
        {{"Mouse Position", "5", "0"}, "SetMousePosition(5,)\n"}, {{"Scroll Up", "lots", "0"}, "MouseWheel(lots)\n"},
        {{"Scroll Down", "1e2", "0"}, "MouseWheel((-1)*1e2)\n"}, {{"Scroll Down", "lots", "40"}, "MilliSleep(40)\n"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("table.lua");
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << "locale missing";
        QLocale::setDefault(QLocale(QString::fromLatin1(locale).section('.', 0, 0)));
        TableRows rows;
        std::string script =
            "--This is the lua script created from the Table.\n"
            "--If you want to learn what functions are available check out ReadMe.txt.\n";
        for (const auto& c : cases) {
            SCOPED_TRACE((c.row.key + "|" + c.row.input + "|" + c.row.delay).toStdString());
            EXPECT_EQ(translateRow(c.row).toStdString(), c.lua);
            rows << c.row;
            script += c.lua;
        }
        EXPECT_TRUE(writeTableScript(path, rows).written);
        EXPECT_EQ(readAll(path).toStdString(), script);
    }
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

}  // namespace
