// Rows built from the editor, and where a dragged row goes.

#include <gtest/gtest.h>

#include "table/DragReorder.h"
#include "table/EditorRow.h"

using table::EditorState;
using table::TableRow;

namespace {

EditorState editor(const char* location, const char* key, const char* mouse, bool actionEnabled) {
    EditorState e;
    e.location = location;
    e.key = key;
    e.mouseEntry = mouse;
    e.action = "Release";
    e.actionEnabled = actionEnabled;
    e.mouseX = -9999;
    e.mouseY = 40;
    e.wheelStrength = 1.0;
    e.delay = 999999999;
    return e;
}

TEST(EditorRow, ColumnsFollowLocationAndTheEnabledActionChoice) {
    const struct {
        EditorState state;
        TableRow row;
    } cases[] = {
        {editor("Keyboard", "Q", "Scroll Up", true), {"Q", "Release", "999999999"}},
        {editor("Keyboard", "None", "Scroll Up", true), {"None", "Release", "999999999"}},
        {editor("Mouse", "Q", "MouseX1", true), {"MouseX1", "Release", "999999999"}},
        {editor("Mouse", "Q", "Mouse Position", false), {"Mouse Position", "-9999   40", "999999999"}},
        {editor("Mouse", "Q", "Mouse Delta Pos", false), {"Mouse Delta Pos", "-9999   40", "999999999"}},
        {editor("Mouse", "Q", "Scroll Down", false), {"Scroll Down", "1", "999999999"}},
        {editor("Mouse", "Q", "None", false), {"None", "", "999999999"}},
        {editor("None", "Q", "Scroll Up", false), {"None", "", "999999999"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.state.location + "/" + c.state.mouseEntry).toStdString());
        EXPECT_EQ(table::rowFromEditor(c.state), c.row);
    }
}

TEST(EditorRow, WheelStrengthKeepsSixSignificantDigits) {
    EditorState e = editor("Mouse", "", "Scroll Up", false);
    for (const auto& [strength, text] : {std::pair<double, const char*>{0.33, "0.33"}, {0.0, "0"},
                                         {99.99, "99.99"}, {1.0 / 3.0, "0.333333"}}) {
        e.wheelStrength = strength;
        EXPECT_EQ(table::rowFromEditor(e).input, QString(text));
    }
}

TEST(DragReorder, EnteredRowSwapsWithItsNeighbourTowardsTheCurrentRow) {
    const struct {
        int current, entered, rows, partner;
    } cases[] = {
        {0, 1, 3, 0}, {2, 1, 3, 2}, {0, 2, 3, 1},  // skipping a row still swaps neighbours
        {1, 1, 3, -1},                              // onto the current row itself
        {-1, 0, 1, -1},                             // no current row, top row entered
        {-1, 1, 2, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table::dragSwapPartner(c.current, c.entered, c.rows), c.partner)
            << c.current << "->" << c.entered;
}

}  // namespace
