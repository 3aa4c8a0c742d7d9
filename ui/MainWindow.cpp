#include "MainWindow.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QTableWidgetItem>

#include "CellColours.h"
#include "EnableGroups.h"
#include "table/DragReorder.h"
#include "table/EditorRow.h"
#include "table/RowValidity.h"
#include "table/TableFile.h"
#include "table/TableTranslation.h"
#include "ui_mainwindow.h"

namespace {

// Dialog texts; captions and filters are translated, starting paths are not.
const char SaveFileCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Save File");
const char LoadFileCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Load File");
const char TableFileStart[] = "Tables/untitled.table";
const char TableFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Table (*.table)");
const char ScriptFileStart[] = "LuaScripts/untitled.lua";
const char ScriptFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Lua (*.lua)");

QString cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

table::TableRow rowAt(const QTableWidget* grid, int row) {
    return {cellText(grid, row, 0), cellText(grid, row, 1), cellText(grid, row, 2)};
}

void paint(QTableWidgetItem* item, table::CellVerdict verdict) {
    // A colour equal to the present one raises no change, so nested checks settle.
    if (verdict == table::CellVerdict::Valid) item->setBackground(ValidCellColour);
    if (verdict == table::CellVerdict::Invalid) item->setBackground(InvalidCellColour);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::MainWindow>()),
      saveFileDialog([](QWidget* owner, const QString& caption, const QString& start, const QString& filter) {
          return QFileDialog::getSaveFileName(owner, caption, start, filter);
      }),
      openFileDialog([](QWidget* owner, const QString& caption, const QString& start, const QString& filter) {
          return QFileDialog::getOpenFileName(owner, caption, start, filter);
      }) {
    ui->setupUi(this);
    connect(ui->Table, &QTableWidget::cellEntered, this, &MainWindow::cellEnteredSlot);
    ui->UseTable->setChecked(true);
    updateEnabledStates();
}

MainWindow::~MainWindow() = default;

void MainWindow::setFileDialogs(FileDialog save, FileDialog open) {
    saveFileDialog = std::move(save);
    openFileDialog = std::move(open);
}

void MainWindow::setRowFromEditor(int row) {
    table::EditorState editor;
    editor.location = ui->InputLocation->currentText();
    editor.key = ui->SpecialKeys->currentText();
    editor.mouseEntry = ui->MouseKeys->currentText();
    editor.action = ui->InputType->currentText();
    editor.actionEnabled = ui->InputType->isEnabled();
    editor.mouseX = ui->MouseX->value();
    editor.mouseY = ui->MouseY->value();
    editor.wheelStrength = ui->ScrollStrength->value();
    editor.delay = ui->Delay->value();
    putRow(row, table::rowFromEditor(editor));
}

void MainWindow::putRow(int row, const table::TableRow& cells) {
    // Each setItem raises cellChanged; the check acts once all three exist.
    ui->Table->setItem(row, 0, new QTableWidgetItem(cells.key));
    ui->Table->setItem(row, 1, new QTableWidgetItem(cells.input));
    ui->Table->setItem(row, 2, new QTableWidgetItem(cells.delay));
}

void MainWindow::removeAllRows() {
    for (int row = ui->Table->rowCount() - 1; row >= 0; --row) ui->Table->removeRow(row);
}

void MainWindow::updateEnabledStates() {
    table::EnableInputs inputs;
    inputs.logging = ui->checkBox->isChecked();
    inputs.running = ui->Running->isChecked();
    inputs.recording = ui->Recording->isChecked();
    inputs.looping = ui->Loop->isChecked();
    inputs.scriptMode = ui->UseScript->isChecked();
    inputs.rowSelected = ui->Table->selectionModel()->hasSelection();
    inputs.location = ui->InputLocation->currentText();
    inputs.mouseEntry = ui->MouseKeys->currentText();
    applyEnableStates(*ui, table::enableStates(inputs));
}

table::TableRows MainWindow::tableRows() const {
    table::TableRows rows;
    for (int row = 0; row < ui->Table->rowCount(); ++row) rows.append(rowAt(ui->Table, row));
    return rows;
}

void MainWindow::saveTableFile(const QString& path) { table::writeTableFile(path, tableRows()); }

void MainWindow::loadTableFile(const QString& path) {
    const std::optional<table::TableRows> rows = table::readTableFile(path);
    if (!rows) return;
    removeAllRows();
    for (const table::TableRow& cells : *rows) {
        const int row = ui->Table->rowCount();
        ui->Table->insertRow(row);
        putRow(row, cells);
    }
}

QByteArray MainWindow::translateRow(int row) const { return table::translateRow(rowAt(ui->Table, row)); }

QByteArray MainWindow::buildTableScript() const { return table::buildTableScript(tableRows()); }

void MainWindow::writeTableScript(const QString& path) const {
    table::writeTableScript(path, tableRows());
}

void MainWindow::on_InputLocation_currentTextChanged(const QString&) { updateEnabledStates(); }

void MainWindow::on_UseScript_toggled(bool) { updateEnabledStates(); }

void MainWindow::on_Table_itemSelectionChanged() { updateEnabledStates(); }

void MainWindow::on_AddNewInput_clicked() {
    const int row = ui->Table->rowCount();
    ui->Table->insertRow(row);
    setRowFromEditor(row);
}

void MainWindow::on_ChangeSelectedInput_clicked() {
    const int row = ui->Table->selectedRow();
    if (row >= 0) setRowFromEditor(row);
}

void MainWindow::on_ResetTable_clicked() { removeAllRows(); }

void MainWindow::on_DeleteSelectedInput_clicked() {
    const int row = ui->Table->selectedRow();
    if (row >= 0) ui->Table->removeRow(row);
}

void MainWindow::on_ConvertTableToScript_clicked() {
    const QString path = saveFileDialog(this, tr(SaveFileCaption), QString::fromLatin1(ScriptFileStart),
                                        tr(ScriptFileFilter));
    if (path.isEmpty()) return;
    writeTableScript(path);
    // The next run plays the file just written.
    ui->ScriptLocation->setText(path);
    ui->UseScript->setChecked(true);
}

void MainWindow::on_Loop_toggled(bool) { updateEnabledStates(); }

void MainWindow::on_Table_cellChanged(int row, int) {
    QTableWidgetItem* key = ui->Table->item(row, 0);
    QTableWidgetItem* input = ui->Table->item(row, 1);
    QTableWidgetItem* delay = ui->Table->item(row, 2);
    if (!key || !input || !delay) return;
    const table::RowVerdict verdict = table::checkRow(rowAt(ui->Table, row));
    paint(key, verdict.key);
    paint(input, verdict.input);
    paint(delay, verdict.delay);
}

void MainWindow::on_InsertBeforeSelectedInput_clicked() {
    const int row = ui->Table->selectedRow();
    if (row < 0) return;
    ui->Table->insertRow(row);
    setRowFromEditor(row);
}

void MainWindow::on_SaveTable_clicked() {
    const QString path = saveFileDialog(this, tr(SaveFileCaption), QString::fromLatin1(TableFileStart),
                                        tr(TableFileFilter));
    if (!path.isEmpty()) saveTableFile(path);
}

void MainWindow::on_LoadTable_clicked() {
    const QString path = openFileDialog(this, tr(LoadFileCaption), QString::fromLatin1(TableFileStart),
                                        tr(TableFileFilter));
    if (!path.isEmpty()) loadTableFile(path);
}

void MainWindow::cellEnteredSlot(int row, int) {
    // Only a plain left-button drag moves rows.
    if (QGuiApplication::mouseButtons() != Qt::LeftButton) return;
    InputTable* grid = ui->Table;
    const int partner = table::dragSwapPartner(grid->currentIndex().row(), row, grid->rowCount());
    if (partner < 0) return;
    const int columns = grid->columnCount();
    QVector<QTableWidgetItem*> entered(columns);
    QVector<QTableWidgetItem*> neighbour(columns);
    for (int column = 0; column < columns; ++column) {
        entered[column] = grid->takeItem(row, column);
        neighbour[column] = grid->takeItem(partner, column);
    }
    for (int column = 0; column < columns; ++column) {
        grid->setItem(partner, column, entered[column]);
        grid->setItem(row, column, neighbour[column]);
    }
}

void MainWindow::on_MouseKeys_currentTextChanged(const QString&) { updateEnabledStates(); }
