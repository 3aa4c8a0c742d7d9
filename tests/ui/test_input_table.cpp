// The table's operations: rows from the editor, Add, Replace, Insert, Delete,
// Reset Table, the validity colours, the Delete key, clicks on empty space
// and reordering by dragging.

#include <QColor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>

#include "WindowFixture.h"

using table::TableRow;
using table::TableRows;

namespace {

enum Colour { Untouched, White, Red };

Colour colourOf(const QTableWidgetItem* item) {
    const QBrush brush = item->background();
    if (brush.style() == Qt::NoBrush) return Untouched;
    if (brush.color() == QColor(255, 255, 255, 255)) return White;
    if (brush.color() == QColor(255, 0, 0, 255)) return Red;
    ADD_FAILURE() << "unexpected colour " << brush.color().name().toStdString();
    return Untouched;
}

using InputTableOperations = WindowFixture;

TEST_F(InputTableOperations, EditorFillsEveryKindOfRow) {
    chooseKey("\\", "Press", 20);
    click("AddNewInput");
    chooseKey("None", "Release", 0);
    click("AddNewInput");
    chooseMouse("MouseX1", 5);
    combo("InputType")->setCurrentText("Hit");
    click("AddNewInput");
    chooseMouse("Mouse Position", 7);
    widget<QSpinBox>("MouseX")->setValue(-20);
    widget<QSpinBox>("MouseY")->setValue(9999);
    click("AddNewInput");
    chooseMouse("Scroll Down", 1);
    widget<QDoubleSpinBox>("ScrollStrength")->setValue(0.333334);
    click("AddNewInput");
    chooseMouse("None", 500);
    click("AddNewInput");
    combo("InputLocation")->setCurrentText("None");
    click("AddNewInput");

    EXPECT_EQ(rows(), TableRows({{"\\", "Press", "20"},
                                 {"None", "Release", "0"},
                                 {"MouseX1", "Hit", "5"},
                                 {"Mouse Position", "-20   9999", "7"},
                                 {"Scroll Down", "0.33", "1"},
                                 {"None", "", "500"},
                                 {"None", "", "500"}}));
}

TEST_F(InputTableOperations, SelectedRowIsReplacedPrecededOrDeleted) {
    addRow("A", 1);
    addRow("A", 2);
    selectRow(1);
    addRow("Escape", 3);  // Add appends whatever is selected
    chooseKey("\\", "Release", 9);
    click("ChangeSelectedInput");
    EXPECT_EQ(rows(), TableRows({{"A", "Hit", "1"}, {"\\", "Release", "9"}, {"Escape", "Hit", "3"}}));

    selectRow(0);
    chooseKey("Escape", "Press", 4);
    click("InsertBeforeSelectedInput");
    EXPECT_EQ(rows(), TableRows({{"Escape", "Press", "4"}, {"A", "Hit", "1"}, {"\\", "Release", "9"},
                                 {"Escape", "Hit", "3"}}));

    selectRow(2);
    click("DeleteSelectedInput");
    EXPECT_EQ(rows(), TableRows({{"Escape", "Press", "4"}, {"A", "Hit", "1"}, {"Escape", "Hit", "3"}}));

    click("ResetTable");
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(InputTableOperations, RowButtonsAndDeleteKeyNeedASelection) {
    addRow("A", 1);
    addRow("Escape", 2);
    const TableRows before = rows();
    grid()->clearSelection();
    // The buttons are off without a selection, so the slots are called directly.
    window.on_ChangeSelectedInput_clicked();
    window.on_InsertBeforeSelectedInput_clicked();
    window.on_DeleteSelectedInput_clicked();
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(rows(), before);

    selectRow(1);
    QTest::keyClick(grid(), Qt::Key_Down);  // other keys do nothing
    EXPECT_EQ(grid()->currentRow(), 1);
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(rows(), TableRows({{"A", "Hit", "1"}}));
}

TEST_F(InputTableOperations, CellsAreColouredByValidity) {
    const struct {
        TableRow row;
        Colour key, input, delay;
    } cases[] = {
        {{"A", "Hit", "100"}, White, White, White},
        {{"Nope", "Hit", "1"}, Red, Untouched, White},
        {{"A", "Tap", "1"}, White, Red, White},
        {{"Mouse Position", "1   2", "0"}, White, White, White},
        {{"Mouse Delta Pos", "1,2", "0"}, White, Red, White},
        {{"Scroll Up", "", "0"}, White, Red, White},
        {{"None", "", "-1"}, White, Untouched, Red},
        {{"None", "", "1.5"}, White, Untouched, White},
    };
    for (const auto& c : cases) {
        const int row = grid()->rowCount();
        grid()->insertRow(row);
        grid()->setItem(row, 0, new QTableWidgetItem(c.row.key));
        grid()->setItem(row, 1, new QTableWidgetItem(c.row.input));
        grid()->setItem(row, 2, new QTableWidgetItem(c.row.delay));
        SCOPED_TRACE(c.row.key.toStdString() + "|" + c.row.input.toStdString());
        EXPECT_EQ(colourOf(grid()->item(row, 0)), c.key);
        EXPECT_EQ(colourOf(grid()->item(row, 1)), c.input);
        EXPECT_EQ(colourOf(grid()->item(row, 2)), c.delay);
    }
}

TEST_F(InputTableOperations, EditingACellRecolours) {
    addRow("A", 1);
    grid()->item(0, 1)->setText("garbage");
    EXPECT_EQ(colourOf(grid()->item(0, 1)), Red);
    grid()->item(0, 0)->setText("Nope");
    grid()->item(0, 1)->setText("Hit");  // an unknown key leaves the action's colour alone
    EXPECT_EQ(colourOf(grid()->item(0, 0)), Red);
    EXPECT_EQ(colourOf(grid()->item(0, 1)), Red);
    grid()->item(0, 0)->setText("A");
    EXPECT_EQ(colourOf(grid()->item(0, 0)), White);
    EXPECT_EQ(colourOf(grid()->item(0, 1)), White);
    grid()->item(0, 2)->setText("soon");
    EXPECT_EQ(colourOf(grid()->item(0, 2)), Red);
    EXPECT_EQ(grid()->item(0, 2)->text(), "soon");
}

TEST_F(InputTableOperations, ACellEditorRefusesTheFileSeparatorAndSaysWhy) {
    addRow("A", 1);
    grid()->editItem(grid()->item(0, 1));
    auto* editor = grid()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Pr:");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "A cell cannot hold \":\": table files use it to separate the cells of a row.");
    QTest::keyClicks(editor, "ess");
    QTest::keyClick(editor, Qt::Key_Return);  // commits once the event loop runs
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid()->item(0, 1)->text() == "Press"; }, 2000))
        << grid()->item(0, 1)->text().toStdString();
}

// Drives the shown window with real pointer events, so the application's
// idea of which buttons are held is the one a user would produce.
class TableDragging : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        for (const char* key : {"A", "\\", "Escape"}) addRow(key, 1);
    }
    void TearDown() override {
        for (Qt::MouseButton held : {Qt::LeftButton, Qt::RightButton})
            if (QGuiApplication::mouseButtons() & held) QTest::mouseRelease(handle(), held, {}, cell(0));
    }
    QWindow* handle() { return window.windowHandle(); }
    QPoint cell(int row, int column = 0) {
        const QRect rect = grid()->visualRect(grid()->model()->index(row, column));
        return grid()->viewport()->mapTo(&window, rect.center());
    }
    QPoint belowLastRow() {
        const QRect last = grid()->visualRect(grid()->model()->index(grid()->rowCount() - 1, 0));
        return grid()->viewport()->mapTo(&window, QPoint(last.center().x(), last.bottom() + 10));
    }
    QStringList keys() {
        QStringList list;
        for (const TableRow& row : rows()) list << row.key;
        return list;
    }
};

TEST_F(TableDragging, LeftButtonCarriesTheRowAlong) {
    QTest::mousePress(handle(), Qt::LeftButton, {}, cell(0));
    QTest::mouseMove(handle(), cell(1));
    EXPECT_EQ(keys(), QStringList({"\\", "A", "Escape"}));
    QTest::mouseMove(handle(), cell(2));
    EXPECT_EQ(keys(), QStringList({"\\", "Escape", "A"}));
    QTest::mouseMove(handle(), cell(0));  // skipping a row swaps the entered row with its neighbour
    EXPECT_EQ(keys(), QStringList({"Escape", "\\", "A"}));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, cell(0));
    EXPECT_EQ(rows()[0], TableRow({"Escape", "Hit", "1"}));
}

TEST_F(TableDragging, RightButtonMovesNothing) {
    QTest::mousePress(handle(), Qt::RightButton, {}, cell(0));
    QTest::mouseMove(handle(), cell(1));
    QTest::mouseMove(handle(), cell(2));
    EXPECT_EQ(keys(), QStringList({"A", "\\", "Escape"}));
}

TEST_F(TableDragging, BothButtonsMoveNothing) {
    QTest::mousePress(handle(), Qt::LeftButton, {}, cell(0));
    QTest::mousePress(handle(), Qt::RightButton, {}, cell(0));
    QTest::mouseMove(handle(), cell(1));
    QTest::mouseMove(handle(), cell(2));
    EXPECT_EQ(keys(), QStringList({"A", "\\", "Escape"}));
}

TEST_F(TableDragging, ClickOnEmptySpaceDropsSelectionAndCurrentRow) {
    QTest::mouseClick(handle(), Qt::LeftButton, {}, cell(1));
    EXPECT_EQ(grid()->selectedRow(), 1);
    EXPECT_TRUE(enabled("DeleteSelectedInput"));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, belowLastRow());
    EXPECT_EQ(grid()->selectedRow(), -1);
    EXPECT_FALSE(grid()->currentIndex().isValid());
    EXPECT_FALSE(enabled("DeleteSelectedInput"));
}

TEST_F(TableDragging, WithoutCurrentRowDraggingOntoTheOnlyRowChangesNothing) {
    selectRow(0);
    click("DeleteSelectedInput");
    selectRow(0);
    click("DeleteSelectedInput");
    QTest::mousePress(handle(), Qt::LeftButton, {}, belowLastRow());
    QTest::mouseMove(handle(), cell(0));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, cell(0));
    EXPECT_EQ(rows(), TableRows({{"Escape", "Hit", "1"}}));
}

TEST_F(TableDragging, DraggingOntoTheCurrentRowChangesNothing) {
    QTest::mousePress(handle(), Qt::LeftButton, {}, cell(1));
    QTest::mouseMove(handle(), cell(1, 2));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, cell(1));
    EXPECT_EQ(keys(), QStringList({"A", "\\", "Escape"}));
}

}  // namespace
