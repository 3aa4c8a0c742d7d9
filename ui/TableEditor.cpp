#include "TableEditor.h"

#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTableWidgetItem>
#include <algorithm>

#include "CellColours.h"
#include "FileDialogs.h"
#include "FileWarnings.h"
#include "LogPanel.h"
#include "WindowTexts.h"
#include "input/KeyNames.h"
#include "table/DragReorder.h"
#include "table/EditorRow.h"
#include "table/RowValidity.h"
#include "table/TableFile.h"
#include "table/TableTranslation.h"
#include "ui_mainwindow.h"

namespace {

const char LoadFileCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Load File");
const char TableFileStart[] = "Tables/untitled.table";
const char TableFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Table (*.table)");
// A table with rows that cannot be played is not saved as a script.
const char NoScriptTitle[] = QT_TRANSLATE_NOOP("MainWindow", "Table not saved as a script");
const char NoScriptText[] =
    QT_TRANSLATE_NOOP("MainWindow", "These rows cannot be played, so the table was not saved as a script:\n%1");

// Key codes whose names fill the key list, and the names from outside that range.
constexpr int FirstListedKeyCode = 7;
constexpr int LastListedKeyCode = 255;
const char* const ExtraListedKeys[] = {"Enter", "Cancel"};

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

TableEditor::TableEditor(Ui::MainWindow& form, QWidget* owner, const FileDialogs& dialogs, LogPanel& log)
    : form_(form), owner_(owner), dialogs_(dialogs), log_(log) {
    fillKeyList();
}

void TableEditor::fillKeyList() {
    QStringList names;
    for (int code = FirstListedKeyCode; code <= LastListedKeyCode; ++code) {
        const std::string name = keyNameFromCode(static_cast<uint16_t>(code));
        if (!name.empty()) names << QString::fromStdString(name);
    }
    for (const char* extra : ExtraListedKeys) names << QString::fromLatin1(extra);
    std::sort(names.begin(), names.end());
    form_.SpecialKeys->addItems(names);
}

void TableEditor::setRowFromEditor(int row) {
    table::EditorState editor;
    editor.location = form_.InputLocation->currentText();
    editor.key = form_.SpecialKeys->currentText();
    editor.mouseEntry = form_.MouseKeys->currentText();
    editor.action = form_.InputType->currentText();
    editor.actionEnabled = form_.InputType->isEnabled();
    editor.mouseX = form_.MouseX->value();
    editor.mouseY = form_.MouseY->value();
    editor.wheelStrength = form_.ScrollStrength->value();
    editor.delay = form_.Delay->value();
    putRow(row, table::rowFromEditor(editor));
}

void TableEditor::putRow(int row, const table::TableRow& cells) {
    // Each setItem raises cellChanged; the check acts once all three exist.
    form_.Table->setItem(row, 0, new QTableWidgetItem(cells.key));
    form_.Table->setItem(row, 1, new QTableWidgetItem(cells.input));
    form_.Table->setItem(row, 2, new QTableWidgetItem(cells.delay));
}

void TableEditor::removeAllRows() {
    for (int row = form_.Table->rowCount() - 1; row >= 0; --row) form_.Table->removeRow(row);
}

table::TableRows TableEditor::rows() const {
    table::TableRows rows;
    for (int row = 0; row < form_.Table->rowCount(); ++row) rows.append(rowAt(form_.Table, row));
    return rows;
}

QStringList TableEditor::unplayableRows() const {
    QStringList lines;
    for (const table::RowFault& fault : table::tableFaults(rows())) lines << table::describeFault(fault);
    return lines;
}

void TableEditor::saveTableFile(const QString& path) {
    const table::WriteOutcome outcome = table::writeTableFile(path, rows());
    if (!outcome.written) {
        warnNotSaved(owner_, path, outcome.reason);
        return;
    }
    if (fileUsed_) fileUsed_(path);
}

bool TableEditor::loadTableFile(const QString& path) {
    const table::TableFileRead file = table::readTableFile(path);
    if (!file.read) {
        warnNotLoaded(owner_, path, file.failure);
        return false;
    }
    removeAllRows();
    for (const table::TableRow& cells : file.table.rows) {
        const int row = form_.Table->rowCount();
        form_.Table->insertRow(row);
        putRow(row, cells);
    }
    logLoadNotes(path, file.table.notes);
    if (fileUsed_) fileUsed_(path);
    return true;
}

void TableEditor::logLoadNotes(const QString& path, const QStringList& notes) {
    const QString text = table::loadNotesText(QDir::toNativeSeparators(path), notes, windowText);
    if (!text.isEmpty()) log_.add(text);
}

QByteArray TableEditor::translateRow(int row) const { return table::translateRow(rowAt(form_.Table, row)); }

QByteArray TableEditor::buildTableScript() const { return table::buildTableScript(rows()); }

bool TableEditor::writeTableScript(const QString& path) {
    const table::WriteOutcome outcome = table::writeTableScript(path, rows());
    if (!outcome.written) warnNotSaved(owner_, path, outcome.reason);
    return outcome.written;
}

void TableEditor::addRow() {
    const int row = form_.Table->rowCount();
    form_.Table->insertRow(row);
    setRowFromEditor(row);
}

void TableEditor::changeSelectedRow() {
    const int row = form_.Table->selectedRow();
    if (row >= 0) setRowFromEditor(row);
}

void TableEditor::insertBeforeSelectedRow() {
    const int row = form_.Table->selectedRow();
    if (row < 0) return;
    form_.Table->insertRow(row);
    setRowFromEditor(row);
}

void TableEditor::deleteSelectedRow() {
    const int row = form_.Table->selectedRow();
    if (row >= 0) form_.Table->removeRow(row);
}

void TableEditor::convertToScript() {
    const QStringList unplayable = unplayableRows();
    if (!unplayable.isEmpty()) {
        QMessageBox::warning(owner_, windowText(NoScriptTitle),
                             windowText(NoScriptText).arg(unplayable.join(QLatin1Char('\n'))));
        return;
    }
    const QString path = dialogs_.askSave(ScriptFileStart, ScriptFileFilter);
    if (path.isEmpty()) return;
    if (!writeTableScript(path)) return;
    // The next run plays the file just written.
    form_.ScriptLocation->setText(path);
    form_.UseScript->setChecked(true);
}

void TableEditor::saveAs() {
    const QString path = dialogs_.askSave(TableFileStart, TableFileFilter);
    if (!path.isEmpty()) saveTableFile(path);
}

void TableEditor::load() {
    const QString path = dialogs_.askOpen(LoadFileCaption, TableFileStart, TableFileFilter);
    if (!path.isEmpty()) loadTableFile(path);
}

void TableEditor::cellChanged(int row) {
    QTableWidgetItem* key = form_.Table->item(row, 0);
    QTableWidgetItem* input = form_.Table->item(row, 1);
    QTableWidgetItem* delay = form_.Table->item(row, 2);
    if (!key || !input || !delay) return;
    const table::RowVerdict verdict = table::checkRow(rowAt(form_.Table, row));
    paint(key, verdict.key);
    paint(input, verdict.input);
    paint(delay, verdict.delay);
}

void TableEditor::cellEntered(int row) {
    // Only a plain left-button drag moves rows.
    if (QGuiApplication::mouseButtons() != Qt::LeftButton) return;
    InputTable* grid = form_.Table;
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
