#include "EditorRow.h"

#include "TableVocabulary.h"

namespace table {

TableRow rowFromEditor(const EditorState& editor) {
    TableRow row;
    if (editor.location == LocationKeyboard)
        row.key = editor.key;
    else if (editor.location == LocationMouse)
        row.key = editor.mouseEntry;
    else
        row.key = editor.location;

    // The enable rules already decided which kind of parameter fits the key.
    if (editor.actionEnabled)
        row.input = editor.action;
    else if (isPointerEntry(row.key))
        row.input = QString::number(editor.mouseX) + PointerSeparator + QString::number(editor.mouseY);
    else if (isWheelEntry(row.key))
        row.input = QString::number(editor.wheelStrength, 'g', WheelStrengthDigits);

    row.delay = QString::number(editor.delay);
    return row;
}

}  // namespace table
