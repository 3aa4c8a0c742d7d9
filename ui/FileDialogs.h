#pragma once
// The file dialogs and the opener of script files the window asks through
// (tests replace them), and the script file's two buttons.

#include <QString>
#include <functional>

class QUrl;
class QWidget;
namespace Ui {
class MainWindow;
}

class FileDialogs {
public:
    // Asks for a file name (parent, caption, starting path, filter); empty
    // when the user cancels.
    using Dialog = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    // Opens a file in its desktop program; true = opened.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // The real dialogs and desktop opener, shown over owner.
    explicit FileDialogs(QWidget* owner);

    void setDialogs(Dialog save, Dialog open);
    void setUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

    // "Save File" from start with a (translatable) filter; empty when cancelled.
    QString askSave(const char* start, const char* filter) const;
    QString askOpen(const char* caption, const char* start, const char* filter) const;

    // Browse: the chosen script becomes the one to run.
    void browseForScript(Ui::MainWindow& form) const;
    // EditScript: opens the script in its editor, or says why it could not.
    void editScript(const Ui::MainWindow& form) const;

private:
    bool openScriptUrl(const QString& localPath) const;

    QWidget* owner_;
    Dialog save_;
    Dialog open_;
    UrlOpener urlOpener_;
};
