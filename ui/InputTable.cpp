#include "InputTable.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

InputTable::InputTable(QWidget* parent) : QTableWidget(parent) {}

int InputTable::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selection().indexes();
    if (selected.isEmpty()) return -1;
    const int row = selected.first().row();
    return row >= 0 && row < rowCount() ? row : -1;
}

void InputTable::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && rowCount() > 0) {
        const int row = selectedRow();
        if (row >= 0) removeRow(row);
    }
    // No other key reaches the base class: the table is edited through the
    // editor and by double-click only.
}

void InputTable::mousePressEvent(QMouseEvent* event) {
    const QModelIndex hit = indexAt(event->pos());
    QTableWidget::mousePressEvent(event);
    if (!hit.isValid()) {
        // Without a current row, Replace, Insert and Delete have nothing to act on.
        clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Select);
    }
}
