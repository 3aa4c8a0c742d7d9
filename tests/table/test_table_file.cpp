// Table files: the line format, where reading stops, and writes that fail
// without harming the file they were meant to replace.

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
    ASSERT_TRUE(table::writeTableFile(path, EditorRows));
    EXPECT_EQ(table::readTableFile(path), std::optional<TableRows>(EditorRows));
}

TEST(TableFileReading, StopsAtTheFirstLineWithoutExactlyThreeFields) {
    const struct {
        const char* contents;
        TableRows rows;
    } cases[] = {
        {"A:Hit:1\n\nB:Hit:2\n", {{"A", "Hit", "1"}}},
        {"A:Hit:1\nB:Hit\nC:Hit:3\n", {{"A", "Hit", "1"}}},
        {"A:Hit:1\nB:Hit:2:3\n", {{"A", "Hit", "1"}}},
        {"A:Hit:1\nB:Press:2", {{"A", "Hit", "1"}, {"B", "Press", "2"}}},
        {"A:Hit:1\r\nX  :  y :\r\n", {{"A", "Hit", "1"}, {"X  ", "  y ", ""}}},
        {"\xc3\x9c:Hit:1\n", {{QString::fromUtf8("\xc3\x9c"), "Hit", "1"}}},
        {"\n", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        EXPECT_EQ(table::parseTableFile(c.contents), c.rows);
    }
}

TEST(TableFileReading, MissingFileIsNotAnEmptyTable) {
    QTemporaryDir dir;
    EXPECT_FALSE(table::readTableFile(dir.filePath("absent.table")).has_value());
    writeAll(dir.filePath("empty.table"), "");
    EXPECT_EQ(table::readTableFile(dir.filePath("empty.table")), std::optional<TableRows>(TableRows{}));
}

TEST(TableFileWriting, FailedWriteKeepsTheOldFileAndLeavesNoLitter) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.table");
    writeAll(path, "A:Hit:100\n");

    // A file-size limit makes the write itself fail, after the file was opened.
    TableRows big(5000, TableRow{"Mouse Position", "1000   1000", "100"});
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = table::writeTableFile(path, big);
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(path), QByteArray("A:Hit:100\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.table"});
}

// Permissions do not hold root back, so as root the check runs in a child
// that gives root up. Returns the child's verdict: 0 when the file was
// rewritten in place.
int writeInReadOnlyFolder() {
    QTemporaryDir dir;
    const QString path = dir.filePath("inplace.table");
    writeAll(path, "old:old:old\n");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool written = table::writeTableFile(path, {{"B", "Press", "1"}});
    const bool inPlace = readAll(path) == "B:Press:1\n";
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return written && inPlace ? 0 : 1;
}

TEST(TableFileWriting, FileInReadOnlyFolderIsStillWrittenInPlace) {
    if (geteuid() != 0) {
        EXPECT_EQ(writeInReadOnlyFolder(), 0);
        return;
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t Nobody = 65534;
        if (setgid(Nobody) != 0 || setuid(Nobody) != 0) _exit(2);
        _exit(writeInReadOnlyFolder());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(TableFileWriting, UnopenablePathWritesNothing) {
    QTemporaryDir dir;
    EXPECT_FALSE(table::writeTableFile(dir.filePath("no/such/folder/x.table"), EditorRows));
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
}

}  // namespace
