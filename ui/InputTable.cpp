#include "InputTable.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

#include "table/TableVocabulary.h"

namespace {

// A cell holding the separator would split its line of the table file in
// the wrong places, so the editor does not accept it.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(InputTable* table) : QStyledItemDelegate(table), table_(table) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const QString separator =
                QRegularExpression::escape(QString(QLatin1Char(table::TableFieldSeparator)));
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[^%1]*").arg(separator)), line));
            connect(line, &QLineEdit::inputRejected, table_, &InputTable::separatorRefused);
        }
        return editor;
    }

private:
    InputTable* table_;
};

}  // namespace

InputTable::InputTable(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new CellDelegate(this));
}

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
