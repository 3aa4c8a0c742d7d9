#include "FileWarnings.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace {

const char Context[] = "FileWarnings";
const char NotSavedTitle[] = QT_TRANSLATE_NOOP("FileWarnings", "File not saved");
const char NotSavedText[] = QT_TRANSLATE_NOOP(
    "FileWarnings", "%1 could not be saved:\n%2\n\nA file that was there before is unchanged.");
const char NotLoadedTitle[] = QT_TRANSLATE_NOOP("FileWarnings", "File not loaded");
const char NotLoadedText[] =
    QT_TRANSLATE_NOOP("FileWarnings", "%1 could not be loaded:\n%2\n\nThe table is unchanged.");

void warn(QWidget* parent, const char* title, const char* text, const QString& path,
          const QString& reason) {
    QMessageBox::warning(
        parent, QCoreApplication::translate(Context, title),
        QCoreApplication::translate(Context, text).arg(QDir::toNativeSeparators(path), reason));
}

}  // namespace

void warnNotSaved(QWidget* parent, const QString& path, const QString& reason) {
    warn(parent, NotSavedTitle, NotSavedText, path, reason);
}

void warnNotLoaded(QWidget* parent, const QString& path, const QString& reason) {
    warn(parent, NotLoadedTitle, NotLoadedText, path, reason);
}
