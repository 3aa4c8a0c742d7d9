// The table as the user edits it: rows from the editor, the row buttons,
// the Delete key, cell colours, the cell editor, clicks and drags.

#include <QToolTip>
#include <tuple>

#include "WindowFixture.h"

using table::TableRows;

namespace {

using InputTableOperations = WindowFixture;

TEST_F(InputTableOperations, EditorFillsEveryKindOfRowAndTheRowButtonsEditTheSelection) {
    chooseKey("\\", "Press", 20);
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
                                 {"MouseX1", "Hit", "5"},
                                 {"Mouse Position", "-20   9999", "7"},
                                 {"Scroll Down", "0.33", "1"},
                                 {"None", "", "500"},
                                 {"None", "", "500"}}));
    click("ResetTable");
    EXPECT_TRUE(rows().isEmpty());

    // The selected row is replaced, preceded or deleted by button or key.
    addRow("A", 1);
    addRow("A", 2);
    grid()->selectRow(1);
    addRow("Escape", 3);  // Add appends whatever is selected
    chooseKey("\\", "Release", 9);
    click("ChangeSelectedInput");
    grid()->selectRow(0);
    chooseKey("Escape", "Press", 4);
    click("InsertBeforeSelectedInput");
    EXPECT_EQ(rows(), TableRows({{"Escape", "Press", "4"}, {"A", "Hit", "1"}, {"\\", "Release", "9"},
                                 {"Escape", "Hit", "3"}}));

    grid()->selectRow(2);
    click("DeleteSelectedInput");
    grid()->selectRow(0);
    QTest::keyClick(grid(), Qt::Key_Down);  // other keys do nothing
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(rows(), TableRows({{"A", "Hit", "1"}, {"Escape", "Hit", "3"}}));

    grid()->clearSelection();
    // The buttons are off without a selection, so their slots are called directly.
    window.on_ChangeSelectedInput_clicked();
    window.on_InsertBeforeSelectedInput_clicked();
    window.on_DeleteSelectedInput_clicked();
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(rows().size(), 2);
}

TEST_F(InputTableOperations, CellsAreColouredByValidityAndTheirEditorRefusesTheFileSeparator) {
    const QColor red(Qt::red), white(Qt::white);
    auto colour = [&](int column) { return grid()->item(0, column)->background().color(); };
    addRow("A", 1);
    EXPECT_EQ(colour(0), white);
    grid()->item(0, 1)->setText("garbage");
    EXPECT_EQ(colour(1), red);
    grid()->item(0, 0)->setText("Nope");
    grid()->item(0, 1)->setText("Hit");  // an unknown key leaves the action's colour alone
    EXPECT_EQ(colour(0), red);
    EXPECT_EQ(colour(1), red);
    grid()->item(0, 0)->setText("A");
    EXPECT_EQ(colour(1), white);
    grid()->item(0, 2)->setText("soon");
    EXPECT_EQ(colour(2), red);
    EXPECT_EQ(grid()->item(0, 2)->text(), "soon");

    // The cell editor refuses the file separator and says why.
    grid()->editItem(grid()->item(0, 1));
    auto* editor = grid()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Pr:");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "A cell cannot hold \":\": table files use it to separate the cells of a row.");
    QTest::keyClicks(editor, "ess");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid()->item(0, 1)->text() == "Press"; }, 2000));
}

// Real pointer events on the shown window, so the application's idea of
// which buttons are held is the one a user would produce.
TEST_F(InputTableOperations, OnlyAPlainLeftDragCarriesTheRowAlongAndAClickOnEmptySpaceDropsTheCurrentRow) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* screen = window.windowHandle();
    auto at = [&](QPoint cell) {  // (row, column); row 3 is the space below the last row
        const QRect rect = grid()->visualRect(grid()->model()->index(std::min(cell.x(), 2), cell.y()));
        return grid()->viewport()->mapTo(&window, rect.center() + QPoint(0, cell.x() > 2 ? 40 : 0));
    };
    auto keys = [&] { QStringList keys; for (const table::TableRow& row : rows()) keys << row.key; return keys; };
    const QStringList unmoved{"A", "\\", "Escape"};
    // Buttons held, cells (row, column) passed from the first, the rows' keys after.
    const std::tuple<std::vector<Qt::MouseButton>, std::vector<QPoint>, QStringList> cases[] = {
        // Skipping a row swaps the entered row with its neighbour.
        {{Qt::LeftButton}, {{0, 0}, {1, 0}, {2, 0}, {0, 0}}, {"Escape", "\\", "A"}},
        {{Qt::LeftButton}, {{1, 0}, {1, 2}}, unmoved},
        {{Qt::RightButton}, {{0, 0}, {1, 0}, {2, 0}}, unmoved},
        {{Qt::LeftButton, Qt::RightButton}, {{0, 0}, {1, 0}, {2, 0}}, unmoved},
    };
    for (const auto& [held, path, expected] : cases) {
        click("ResetTable");
        for (const QString& key : unmoved) addRow(qPrintable(key));
        for (Qt::MouseButton button : held) QTest::mousePress(screen, button, {}, at(path.front()));
        for (const QPoint& cell : path) QTest::mouseMove(screen, at(cell));
        for (Qt::MouseButton button : held) QTest::mouseRelease(screen, button, {}, at(path.back()));
        EXPECT_EQ(keys(), expected) << "from row " << path[0].x() << " holding " << held.size();
        EXPECT_EQ(rows().value(0), table::TableRow({expected[0], "Hit", "1"}));
    }

    QTest::mouseClick(screen, Qt::LeftButton, {}, at({1, 0}));
    EXPECT_TRUE(enabled("DeleteSelectedInput"));
    QTest::mousePress(screen, Qt::LeftButton, {}, at({3, 0}));
    EXPECT_EQ(grid()->selectedRow(), -1);
    EXPECT_FALSE(grid()->currentIndex().isValid());
    EXPECT_FALSE(enabled("DeleteSelectedInput"));
    QTest::mouseMove(screen, at({0, 0}));
    QTest::mouseRelease(screen, Qt::LeftButton, {}, at({0, 0}));
    EXPECT_EQ(keys(), unmoved);
}

}  // namespace
