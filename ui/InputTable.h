#pragma once
// The input table widget: a QTableWidget that deletes the selected row on
// the Delete key, ignores every other key, drops the selection when a click
// lands on no cell, and lets no cell take the table file's field separator
// (the cell editor refuses it and says why beside the cell).

#include <QTableWidget>

class InputTable : public QTableWidget {
    Q_OBJECT
public:
    explicit InputTable(QWidget* parent = nullptr);

    // The row of the first selected index; -1 without a selection or when it
    // is not a row of the table.
    int selectedRow() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
