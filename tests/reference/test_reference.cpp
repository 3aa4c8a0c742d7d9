// The function reference: an entry for everything a script can name, shown
// read-only by F1, and found beside an installed program first.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "script/ScriptFunctions.h"
#include "ui/MainWindow.h"
#include "ui/ProgramFiles.h"
#include "ui/ReferenceWindow.h"

namespace {

QString referenceText() {
    QFile file(QStringLiteral(QP_REFERENCE_FILE));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

// The text from the heading line `title` to the next top-level heading.
QString section(const QString& text, const QString& title) {
    const int start = text.indexOf(QLatin1Char('\n') + title + QLatin1Char('\n'));
    if (start < 0) return QString();
    const int end = text.indexOf(QRegularExpression(QStringLiteral("\n\\d+\\. [A-Z ]+\n")), start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

bool writeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

}  // namespace

// Each function has an entry that starts a line with its call, and each key
// name is listed quoted with its code; the lists come from the program itself.
TEST(Reference, HasAnEntryForEveryScriptFunctionAndKeyName) {
    const QString text = referenceText();
    ASSERT_FALSE(text.isEmpty()) << QP_REFERENCE_FILE;
    const QString functions = section(text, QStringLiteral("3. SCRIPT FUNCTIONS"));
    const QString keys = section(text, QStringLiteral("4. KEY NAMES"));

    QStringList missing;
    for (const luaL_Reg* function = ScriptFunctions; function->name; ++function) {
        const QString name = QString::fromLatin1(function->name);
        if (!functions.contains(QLatin1Char('\n') + name + QLatin1Char('('))) missing << name + "()";
    }
    for (const auto& [name, code] : keyVocabulary().codeByName) {
        const QString entry = QStringLiteral("\"%1\" %2").arg(QString::fromStdString(name)).arg(code);
        if (!keys.contains(entry)) missing << entry;
    }
    EXPECT_TRUE(missing.isEmpty()) << "no entry for: " << missing.join(QStringLiteral(", ")).toStdString();
}

TEST(Reference, F1ShowsItReadOnlyInAWindowOfTheProgram) {
    platform::FakePlatform platform;
    Recorder recorder;
    MainWindow window(platform, recorder);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // As a user would: to whatever has the focus once the window opens.
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_F1);

    ReferenceWindow* reference = window.referenceWindow();
    ASSERT_NE(reference, nullptr);
    EXPECT_TRUE(reference->isVisible());
    EXPECT_TRUE(reference->isWindow());
    EXPECT_TRUE(reference->view()->isReadOnly());
    EXPECT_EQ(reference->view()->toPlainText(), referenceText());
}

// An installed program reads its own copies, not those of the tree it was built from.
TEST(Reference, FilesBesideAnInstalledProgramComeFirst) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString reference = prefix.filePath(QStringLiteral("share/doc/quillpress/ReadMe.txt"));
    const QString icon = prefix.filePath(QStringLiteral("share/icons/hicolor/128x128/apps/") +
                                         QStringLiteral(QP_WINDOW_ICON_NAME));
    ASSERT_TRUE(writeFile(reference) && writeFile(icon));
    const QString program = prefix.filePath(QStringLiteral("bin"));

    EXPECT_EQ(programFiles::findReference(program), reference);
    EXPECT_EQ(programFiles::findIcon(program), icon);
}
