#pragma once
// The input table widget: a QTableWidget that deletes the selected row on
// the Delete key, ignores every other key, and drops the selection when a
// click lands on no cell.

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
