#include "FileDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "WindowTexts.h"
#include "ui_mainwindow.h"

namespace {

const char BrowseCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Browse For Script");
const char EditErrorTitle[] = "ERROR";
const char EditErrorText[] = QT_TRANSLATE_NOOP(
    "MainWindow",
    "Error openning the lua file\nPlease make sure to set the default program for openning *.lua files as a text editor\n");

// The desktop opener reports success once it has handed the URL on, so an
// attempt counts only when the file it names is there.
bool openExistingFile(const QUrl& url) {
    return url.isLocalFile() && QFile::exists(url.toLocalFile()) && QDesktopServices::openUrl(url);
}

}  // namespace

FileDialogs::FileDialogs(QWidget* owner)
    : owner_(owner),
      save_([](QWidget* parent, const QString& caption, const QString& start, const QString& filter) {
          return QFileDialog::getSaveFileName(parent, caption, start, filter);
      }),
      open_([](QWidget* parent, const QString& caption, const QString& start, const QString& filter) {
          return QFileDialog::getOpenFileName(parent, caption, start, filter);
      }),
      urlOpener_(openExistingFile) {}

void FileDialogs::setDialogs(Dialog save, Dialog open) {
    save_ = std::move(save);
    open_ = std::move(open);
}

QString FileDialogs::askSave(const char* start, const char* filter) const {
    return save_(owner_, windowText(SaveFileCaption), QString::fromLatin1(start), windowText(filter));
}

QString FileDialogs::askOpen(const char* caption, const char* start, const char* filter) const {
    return open_(owner_, windowText(caption), QString::fromLatin1(start), windowText(filter));
}

void FileDialogs::browseForScript(Ui::MainWindow& form) const {
    const QString path = askOpen(BrowseCaption, ScriptFileStart, ScriptFileFilter);
    if (!path.isEmpty()) form.ScriptLocation->setText(path);
}

bool FileDialogs::openScriptUrl(const QString& localPath) const {
    // Built from a cleaned local path: pasting an absolute path after "file:///"
    // would name a different file ("//home/...").
    return urlOpener_(QUrl::fromLocalFile(QDir::cleanPath(localPath)));
}

void FileDialogs::editScript(const Ui::MainWindow& form) const {
    const QString path = form.ScriptLocation->text();
    // From the root (absolute paths), then from the working folder (relative ones).
    if (openScriptUrl(QLatin1Char('/') + path)) return;
    if (openScriptUrl(QDir::currentPath() + QLatin1Char('/') + path)) return;
    QMessageBox::warning(owner_, QString::fromLatin1(EditErrorTitle), windowText(EditErrorText), QMessageBox::Ok,
                         QMessageBox::Ok);
}
