#pragma once
// Keeps a hotkey edit from dropping its hotkey at a modifier press. The edit
// starts a new entry at the first key pressed in it by clearing its
// sequence, which unregisters the hotkey; a combination's modifiers go down
// first, so its key then reached the edit instead of the global hotkey.
// Held back, modifiers start nothing: the edit still records them with the
// key that follows, and the hotkey's own combination stays with the hotkey.

#include <QObject>

class HotkeyEditFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
