#include "InputTable.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "table/TableVocabulary.h"

namespace {

const char SeparatorRefused[] = QT_TRANSLATE_NOOP(
    "InputTable", "A cell cannot hold \":\": table files use it to separate the cells of a row.");

// A cell holding the separator would split its line of the table file in
// the wrong places, so the editor does not accept it.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const QString separator =
                QRegularExpression::escape(QString(QLatin1Char(table::TableFieldSeparator)));
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[^%1]*").arg(separator)), line));
            // A tip, not a box: the editor keeps the focus and the user goes on typing.
            connect(line, &QLineEdit::inputRejected, line, [line] {
                QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())),
                                   InputTable::tr(SeparatorRefused), line);
            });
        }
        return editor;
    }
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
