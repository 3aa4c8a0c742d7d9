// Table files: the line format, which lines load, the size limits, and writes
// that fail without harming the file they were meant to replace.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "table/TableFile.h"

using table::TableRow;
using table::TableRows;

namespace {

// One row of every kind the editor makes.
const TableRows EditorRows = {
    {"A", "Hit", "100"},          {"\\", "Press", "0"},        {"MouseX1", "Release", "5"},
    {"Mouse Position", "10   -20", "0"}, {"Mouse Delta Pos", "-9999   9999", "1"},
    {"Scroll Up", "0.33", "100"}, {"Scroll Down", "99.99", "2"}, {"None", "", "500"},
    {"None", "Hit", "100"},       {"Kanji", "Press", "999999999"},
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(TableFileFormat, RowsBecomeColonJoinedLinesEachEnded) {
    EXPECT_EQ(table::formatTableFile({{"A", "Hit", "100"}, {"Mouse Position", "10   20", "0"}, {"None", "", "5"}}),
              QByteArray("A:Hit:100\nMouse Position:10   20:0\nNone::5\n"));
    EXPECT_EQ(table::formatTableFile({}), QByteArray());
}

TEST(TableFileFormat, EveryEditorRowSurvivesSaveAndLoad) {
    QTemporaryDir dir;
    const QString path = dir.filePath("rows.table");
    ASSERT_TRUE(table::writeTableFile(path, EditorRows).written);
    const table::TableFileRead read = table::readTableFile(path);
    ASSERT_TRUE(read.read);
    EXPECT_EQ(read.table.rows, EditorRows);
    EXPECT_TRUE(read.table.notes.isEmpty());
}

TEST(TableFileReading, KeepsEveryLineOfThreeFieldsAndNotesTheOthers) {
    const struct {
        const char* contents;
        TableRows rows;
        QStringList notes;
    } cases[] = {
        {"A:Hit:1\n\nB:Hit:2\n", {{"A", "Hit", "1"}, {"B", "Hit", "2"}}, {"line 2 skipped: it is empty"}},
        {"A:Hit:1\nB:Hit\nC:Hit:3:\nD:Hit:4\n",
         {{"A", "Hit", "1"}, {"D", "Hit", "4"}},
         {"line 2 skipped: it holds 1 \":\" where a row holds 2", "line 3 skipped: it holds 3 \":\" where a row holds 2"}},
        {"A:Hit:1\nB:Press:2", {{"A", "Hit", "1"}, {"B", "Press", "2"}}, {}},
        {"A:Hit:1\r\nX  :  y :\r\n", {{"A", "Hit", "1"}, {"X  ", "  y ", ""}}, {}},
        {"\xc3\x9c:Hit:1\n", {{QString::fromUtf8("\xc3\x9c"), "Hit", "1"}}, {}},
        {"A:Hit:1\nN\xff\xc3:\xdc:1\n",
         {{"A", "Hit", "1"}, {QString::fromUtf8("N\xef\xbf\xbd\xef\xbf\xbd"), QString::fromUtf8("\xef\xbf\xbd"), "1"}},
         {QString::fromUtf8("line 2: bytes that are not UTF-8 text were replaced by \xef\xbf\xbd")}},
        {"\n", {}, {"line 1 skipped: it is empty"}},
        {"", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        const table::ParsedTable parsed = table::parseTableFile(c.contents);
        EXPECT_EQ(parsed.rows, c.rows);
        EXPECT_EQ(parsed.notes, c.notes);
    }
}

TEST(TableFileReading, MissingOrOversizedFilesAreNotRead) {
    QTemporaryDir dir;
    const table::TableFileRead missing = table::readTableFile(dir.filePath("absent.table"));
    EXPECT_FALSE(missing.read);
    EXPECT_EQ(missing.failure, "No such file or directory");

    writeAll(dir.filePath("empty.table"), "");
    const table::TableFileRead empty = table::readTableFile(dir.filePath("empty.table"));
    EXPECT_TRUE(empty.read);
    EXPECT_TRUE(empty.table.rows.isEmpty());

    // Sparse, so it costs no disk; reading it whole would not fit a byte array.
    QFile huge(dir.filePath("huge.table"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(3) << 30));
    huge.close();
    const table::TableFileRead tooLarge = table::readTableFile(huge.fileName());
    EXPECT_FALSE(tooLarge.read);
    EXPECT_EQ(tooLarge.failure, "the file is larger than 4 MiB, the most a table file may hold");

    QByteArray lines;
    for (int line = 0; line <= table::MaxTableRows; ++line) lines += "A:Hit:1\n";
    ASSERT_LE(lines.size(), table::MaxTableFileBytes);
    writeAll(dir.filePath("long.table"), lines);
    const table::TableFileRead tooLong = table::readTableFile(dir.filePath("long.table"));
    EXPECT_FALSE(tooLong.read);
    EXPECT_EQ(tooLong.failure, "the file has more than 100000 lines, the most a table may hold");
    EXPECT_TRUE(tooLong.table.rows.isEmpty());
}

TEST(TableFileWriting, FailedWriteKeepsTheOldFileAndLeavesNoLitter) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.table");
    writeAll(path, "A:Hit:100\n");

    // A file-size limit makes the write fail after the file was opened, and
    // after part of the text was written.
    TableRows big(200, TableRow{"Mouse Position", "1000   1000", "100"});
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const table::WriteOutcome outcome = table::writeTableFile(path, big);
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.reason, "File too large");
    EXPECT_EQ(readAll(path), QByteArray("A:Hit:100\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.table"});
}

// Permissions do not hold root back, so as root the check runs in a child
// that gives root up. Returns 0 when neither a read-only file nor a file in
// a read-only folder was touched and both failures came with a reason.
int writeWithoutPermission() {
    QTemporaryDir dir;
    const QString readOnlyFile = dir.filePath("readonly.table");
    writeAll(readOnlyFile, "old:old:old\n");
    QFile::setPermissions(readOnlyFile, QFile::ReadOwner);
    const table::WriteOutcome fileOutcome = table::writeTableFile(readOnlyFile, {{"B", "Press", "1"}});

    QDir(dir.path()).mkdir("locked");
    const QString inLockedFolder = dir.filePath("locked/inplace.table");
    writeAll(inLockedFolder, "old:old:old\n");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    const table::WriteOutcome folderOutcome = table::writeTableFile(inLockedFolder, {{"B", "Press", "1"}});
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    int failures = 0;
    for (const auto& [path, outcome] : {std::pair{readOnlyFile, fileOutcome}, {inLockedFolder, folderOutcome}}) {
        if (outcome.written || outcome.reason.isEmpty()) ++failures;
        if (readAll(path) != "old:old:old\n") ++failures;
    }
    if (QDir(dir.filePath("locked")).entryList(QDir::Files) != QStringList{"inplace.table"}) ++failures;
    return failures;
}

TEST(TableFileWriting, WithoutPermissionTheOldFileStaysAndTheReasonIsGiven) {
    if (geteuid() != 0) {
        EXPECT_EQ(writeWithoutPermission(), 0);
        return;
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t Nobody = 65534;
        if (setgid(Nobody) != 0 || setuid(Nobody) != 0) _exit(100);
        _exit(writeWithoutPermission());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(TableFileWriting, UnopenablePathWritesNothing) {
    QTemporaryDir dir;
    const table::WriteOutcome outcome = table::writeTableFile(dir.filePath("no/such/folder/x.table"), EditorRows);
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.reason.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
}

}  // namespace
