#pragma once
// The input table and its editor: rows built from the editor, their checks
// and colours, drag reordering, table files and the table's Lua text.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

#include "table/TableRow.h"

class FileDialogs;
class LogPanel;
class QWidget;
namespace Ui {
class MainWindow;
}

class TableEditor {
public:
    // Fills the editor's key list. Warnings are shown over owner.
    TableEditor(Ui::MainWindow& form, QWidget* owner, const FileDialogs& dialogs, LogPanel& log);

    // Replaces the three cells of row by a new row built from the editor.
    void setRowFromEditor(int row);
    // The texts of every row, row 0 first.
    table::TableRows rows() const;
    // One line per row that cannot be played ("row N: ..."); empty when all can.
    QStringList unplayableRows() const;

    // Writes the table to a table file; a failed write changes nothing and
    // is reported in a warning box.
    void saveTableFile(const QString& path);
    // Replaces the rows by the file's and logs the lines it skipped; a file
    // that cannot be opened or is too large changes nothing and is reported.
    // Whether it was loaded.
    bool loadTableFile(const QString& path);
    // Called with the path of every table file loaded or saved in full.
    void setFileUsedCallback(std::function<void(const QString&)> callback) { fileUsed_ = std::move(callback); }

    // Lua text (UTF-8) of one row, and of every row for a run.
    QByteArray translateRow(int row) const;
    QByteArray buildTableScript() const;
    // Writes the table as a commented script file; a failed write changes
    // nothing and is reported. Whether it was written.
    bool writeTableScript(const QString& path);

    // The buttons and the table's own signals.
    void addRow();
    void changeSelectedRow();
    void insertBeforeSelectedRow();
    void deleteSelectedRow();
    void removeAllRows();
    void convertToScript();
    void saveAs();
    void load();
    void cellChanged(int row);
    void cellEntered(int row);

private:
    void putRow(int row, const table::TableRow& cells);
    void logLoadNotes(const QString& path, const QStringList& notes);
    void fillKeyList();

    Ui::MainWindow& form_;
    QWidget* owner_;
    const FileDialogs& dialogs_;
    LogPanel& log_;
    std::function<void(const QString&)> fileUsed_;
};
