// What the user chose survives a restart of the program: the choices made
// in the window, its place and log window, and the last table file; damaged,
// unreadable or unfitting settings give the defaults and say so in the log.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include "app/ProgramSession.h"
#include "input/KeyNames.h"
#include "platform/fake/FakePlatform.h"
#include "ui/LogWindow.h"

namespace {

class Settings : public testing::Test {
protected:
    static void SetUpTestSuite() {
        initKeyNames();
        // Before any settings are opened: Qt looks for the folder once.
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QCoreApplication::setOrganizationName(QStringLiteral("quillpress-test"));
    }
    // Each test keeps its own settings file, named after the application.
    void start(const char* application = nullptr) {
        if (application) QCoreApplication::setApplicationName(QString::fromLatin1(application));
        session.reset();
        session = std::make_unique<ProgramSession>(platform);
    }
    MainWindow& window() { return session->window(); }
    QWidget* find(const char* name) { return window().findChild<QWidget*>(QString::fromLatin1(name)); }
    // The control's value as the user sees it: checked, value, text or item.
    QVariant value(const char* name) {
        const QWidget* control = find(name);
        return control->metaObject()->userProperty().read(control);
    }
    void set(const char* name, const QVariant& to) {
        QWidget* control = find(name);
        ASSERT_TRUE(control->metaObject()->userProperty().write(control, to)) << name;
    }
    QString log() { return window().findChild<QPlainTextEdit*>(QStringLiteral("LuaLog"))->toPlainText(); }

    static inline QTemporaryDir config;
    platform::FakePlatform platform;
    std::unique_ptr<ProgramSession> session;
};

TEST_F(Settings, ChoicesPlaceLogWindowAndLastTableFileAreBackAfterARestart) {
    start("choices");
    const std::pair<const char*, QVariant> choices[] = {
        {"Hotkey", QKeySequence(QStringLiteral("F6"))}, {"RecordingHotkey", QKeySequence(QStringLiteral("Ctrl+R"))},
        {"ScriptLocation", QStringLiteral("/home/me/run.lua")}, {"UseScript", true}, {"Loop", true},
        {"Repeat", 7}, {"checkBox", false}, {"ClearLogOnPlay", false}, {"MonitorMouseMovement", true},
        {"MonitorStartPosition", true}, {"InputLocation", QStringLiteral("Mouse")},
        {"SpecialKeys", QStringLiteral("F5")}, {"MouseKeys", QStringLiteral("Mouse Position")},
        {"InputType", QStringLiteral("Press")}, {"Delay", 250}, {"MouseX", 30}, {"MouseY", -20},
        {"ScrollStrength", 1.0}};
    for (const auto& [name, to] : choices) set(name, to);
    // Ended without a close: every change was kept as it was made.
    start();
    for (const auto& [name, to] : choices) EXPECT_EQ(value(name), to) << name;
    EXPECT_EQ(platform.hotkeys().at(RunHotkeyId).virtualKey, keyCodeFromName("F6"));
    EXPECT_EQ(platform.hotkeys().at(RecordingHotkeyId).virtualKey, keyCodeFromName("R"));

    // The window's place, its log window and its last table file.
    const QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("rows.table"));
    set("UseTable", true);  // editing needs the table in use, the log window needs logging
    set("checkBox", true);
    QMetaObject::invokeMethod(find("AddNewInput"), "click");
    window().saveTableFile(path);
    const table::TableRows rows = window().tableRows();
    ASSERT_EQ(rows.size(), 1);
    QMetaObject::invokeMethod(find("OpenLogWindow"), "click");
    window().resize(window().size() + QSize(60, 40));
    const QSize size = window().size();
    window().close();
    start();
    EXPECT_EQ(window().size(), size);
    EXPECT_TRUE(window().logWindowWidget()->isVisible());
    EXPECT_EQ(window().tableRows(), rows);
    // A table file that is gone is not asked for.
    QFile::remove(path);
    start();
    EXPECT_TRUE(window().tableRows().isEmpty());
}

TEST_F(Settings, DamagedUnreadableOrUnfittingSettingsGiveTheDefaultsAndALogLine) {
    const struct {
        const char* application;
        const char* contents;  // null: a folder where the file should be, which cannot be opened
    } cases[] = {{"damaged", "[hotkeys]\nrun=F6\n\x01\xff[script\n=\xfe\n"},
                 {"unreadable", nullptr},
                 {"unfitting", "[editor]\ninputLocation=Somewhere\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.application);
        const QString folder = config.filePath(QStringLiteral("quillpress-test"));
        const QString file = folder + "/" + c.application + ".conf";
        ASSERT_TRUE(QDir().mkpath(c.contents ? folder : file));
        QFile written(file);
        ASSERT_TRUE(!c.contents || (written.open(QIODevice::WriteOnly) && written.write(c.contents) > 0));
        written.close();
        start(c.application);
        EXPECT_EQ(value("Hotkey"), QKeySequence(QStringLiteral("F4")));
        EXPECT_EQ(value("InputLocation"), QStringLiteral("Keyboard"));
        EXPECT_TRUE(log().contains(file)) << log().toStdString();
        EXPECT_TRUE(log().contains(QStringLiteral("the defaults are used")));
    }
}

}  // namespace
