#pragma once
// The program's one window: its form, the input table's operations, the rules
// that enable its controls, table files and the table's translation to Lua.

#include <QByteArray>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "table/TableRow.h"

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Asks for a file name (parent, caption, starting path, filter); empty
    // when the user cancels.
    using FileDialog =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Replaces the three cells of row by a new row built from the editor.
    void setRowFromEditor(int row);
    // Enables exactly the controls that fit the mode, the chosen input, the
    // selection and whether a run or a recording is in progress.
    void updateEnabledStates();

    // Writes the table to a table file; a failed write changes nothing.
    void saveTableFile(const QString& path);
    // Replaces the rows by the file's; a file that cannot be opened changes nothing.
    void loadTableFile(const QString& path);

    // Lua text (UTF-8) of one row, and of every row for a run.
    QByteArray translateRow(int row) const;
    QByteArray buildTableScript() const;
    // Writes the table as a commented script file; a failed write changes nothing.
    void writeTableScript(const QString& path) const;

    // The texts of every row, row 0 first.
    table::TableRows tableRows() const;

    // Replaces the save-file and open-file dialogs (tests answer them).
    void setFileDialogs(FileDialog save, FileDialog open);

public slots:
    // connectSlotsByName connects in declaration order, so keep this order.
    void on_InputLocation_currentTextChanged(const QString& text);
    void on_UseScript_toggled(bool checked);
    void on_Table_itemSelectionChanged();
    void on_AddNewInput_clicked();
    void on_ChangeSelectedInput_clicked();
    void on_ResetTable_clicked();
    void on_DeleteSelectedInput_clicked();
    void on_ConvertTableToScript_clicked();
    void on_Loop_toggled(bool checked);
    void on_Table_cellChanged(int row, int column);
    void on_InsertBeforeSelectedInput_clicked();
    void on_SaveTable_clicked();
    void on_LoadTable_clicked();
    void cellEnteredSlot(int row, int column);
    void on_MouseKeys_currentTextChanged(const QString& text);

private:
    void putRow(int row, const table::TableRow& cells);
    void removeAllRows();

    std::unique_ptr<Ui::MainWindow> ui;
    FileDialog saveFileDialog;
    FileDialog openFileDialog;
};
