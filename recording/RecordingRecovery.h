#pragma once
// Where a recording goes when the program must end before it could be
// saved: a script in the user's state folder.

#include <QString>

// $XDG_STATE_HOME/quillpress, or ~/.local/state/quillpress without it.
QString recordingRecoveryFolder();

// Writes the script of `records` to a new file in the recovery folder; its
// path, or an empty string with the reason in *error.
QString writeRecoveryScript(const QString& records, QString* error);
