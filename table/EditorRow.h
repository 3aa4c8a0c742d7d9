#pragma once
// Building a table row from what the input editor shows.

#include "TableRow.h"

namespace table {

// The editor controls' current texts and values.
struct EditorState {
    QString location;        // "Keyboard", "Mouse" or "None"
    QString key;             // key choice
    QString mouseEntry;      // mouse choice
    QString action;          // "Hit", "Press" or "Release"
    bool actionEnabled = true;  // whether the action choice is usable now
    int mouseX = 0;
    int mouseY = 0;
    double wheelStrength = 0;
    int delay = 0;
};

TableRow rowFromEditor(const EditorState& editor);

}  // namespace table
