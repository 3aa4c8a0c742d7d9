#include "WindowSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMetaProperty>
#include <QScreen>
#include <cstdio>
#include <vector>

#include "LogPanel.h"
#include "WindowTexts.h"
#include "ui_mainwindow.h"

namespace {

// A kept control: its value is its user property (checked, value, text,
// current text or key sequence), stored under key.
struct Kept {
    const char* key;
    QWidget* control;
};

// In restore order: the input location before the lists it chooses between.
std::vector<Kept> keptControls(const Ui::MainWindow& f) {
    return {{"hotkeys/run", f.Hotkey},
            {"hotkeys/recording", f.RecordingHotkey},
            {"script/location", f.ScriptLocation},
            {"script/useScript", f.UseScript},
            {"run/loop", f.Loop},
            {"run/repeat", f.Repeat},
            {"log/write", f.checkBox},
            {"log/clearOnPlay", f.ClearLogOnPlay},
            {"recording/monitorMovement", f.MonitorMouseMovement},
            {"recording/monitorStartPosition", f.MonitorStartPosition},
            {"editor/inputLocation", f.InputLocation},
            {"editor/key", f.SpecialKeys},
            {"editor/mouse", f.MouseKeys},
            {"editor/inputType", f.InputType},
            {"editor/delay", f.Delay},
            {"editor/mouseX", f.MouseX},
            {"editor/mouseY", f.MouseY},
            {"editor/scrollStrength", f.ScrollStrength}};
}

const char GeometryKey[] = "window/geometry";
const char LogWindowOpenKey[] = "window/logWindowOpen";
const char TableFileKey[] = "table/lastFile";

const char UnreadableLine[] =
    QT_TRANSLATE_NOOP("MainWindow", "Settings not read from %1 (%2); the defaults are used.\n");
const char DamagedReason[] = QT_TRANSLATE_NOOP("MainWindow", "the file is damaged");
const char NoAccessReason[] = QT_TRANSLATE_NOOP("MainWindow", "the file cannot be opened");
const char UnusableLine[] =
    QT_TRANSLATE_NOOP("MainWindow", "Settings in %1 not usable (%2); the defaults are used for these.\n");
const char NotSavedMessage[] = "quillpress: settings could not be saved to %s\n";

QMetaProperty valueProperty(const QWidget* control) { return control->metaObject()->userProperty(); }

QVariant currentValue(const QWidget* control) {
    const QVariant value = valueProperty(control).read(control);
    // Key sequences are kept as text a person can read in the file.
    if (value.userType() == qMetaTypeId<QKeySequence>())
        return value.value<QKeySequence>().toString(QKeySequence::PortableText);
    return value;
}

// False when the stored value does not fit the control: another type, no
// item of its list, outside its range, or a hotkey that was refused.
bool putValue(QWidget* control, QVariant value) {
    const QMetaProperty property = valueProperty(control);
    if (!value.convert(property.userType())) return false;
    return property.write(control, value) && property.read(control) == value;
}

// The form's own size, but within the screen's free area (a large font or
// scale factor leaves less room) and never below what the form needs.
void fitToScreen(QMainWindow& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    window.resize(window.size().boundedTo(screen->availableSize()).expandedTo(window.minimumSizeHint()));
}

}  // namespace

WindowSettings::WindowSettings(Ui::MainWindow& form, QMainWindow& window, LogPanel& log)
    : form_(form), window_(window), log_(log) {}

void WindowSettings::restore(const std::function<void(const QString&)>& reopenTable) {
    const QString file = QDir::toNativeSeparators(settings_.fileName());
    // The file is read on the first access.
    settings_.allKeys();
    if (settings_.status() != QSettings::NoError) {
        const char* reason = settings_.status() == QSettings::FormatError ? DamagedReason : NoAccessReason;
        log_.add(windowText(UnreadableLine).arg(file, windowText(reason)));
        fitToScreen(window_);
    } else {
        QStringList unusable;
        for (const Kept& kept : keptControls(form_)) {
            const QVariant stored = settings_.value(QString::fromLatin1(kept.key));
            if (!stored.isValid()) continue;
            const QVariant before = valueProperty(kept.control).read(kept.control);
            if (putValue(kept.control, stored)) continue;
            valueProperty(kept.control).write(kept.control, before);
            unusable << QString::fromLatin1(kept.key);
        }
        const QVariant geometry = settings_.value(QString::fromLatin1(GeometryKey));
        if (!geometry.isValid() || !window_.restoreGeometry(geometry.toByteArray())) {
            if (geometry.isValid()) unusable << QString::fromLatin1(GeometryKey);
            fitToScreen(window_);
        }
        if (settings_.value(QString::fromLatin1(LogWindowOpenKey)).toBool() && form_.OpenLogWindow->isEnabled())
            log_.openWindow();
        if (!unusable.isEmpty()) log_.add(windowText(UnusableLine).arg(file, unusable.join(QStringLiteral(", "))));
        const QString table = settings_.value(QString::fromLatin1(TableFileKey)).toString();
        if (!table.isEmpty() && QFileInfo::exists(table)) reopenTable(table);
    }
    const QMetaMethod write = metaObject()->method(metaObject()->indexOfSlot("writeChoices()"));
    for (const Kept& kept : keptControls(form_))
        connect(kept.control, valueProperty(kept.control).notifySignal(), this, write);
}

void WindowSettings::tableFileUsed(const QString& path) {
    settings_.setValue(QString::fromLatin1(TableFileKey), QFileInfo(path).absoluteFilePath());
}

void WindowSettings::writeChoices() {
    for (const Kept& kept : keptControls(form_)) settings_.setValue(QString::fromLatin1(kept.key), currentValue(kept.control));
}

void WindowSettings::saveAtClose(bool logWindowOpen) {
    writeChoices();
    settings_.setValue(QString::fromLatin1(GeometryKey), window_.saveGeometry());
    settings_.setValue(QString::fromLatin1(LogWindowOpenKey), logWindowOpen);
    settings_.sync();
    if (settings_.status() == QSettings::AccessError)
        std::fprintf(stderr, NotSavedMessage, qUtf8Printable(QDir::toNativeSeparators(settings_.fileName())));
}
