#pragma once
// The files the program reads besides the user's own: its function reference
// and its icon. They are found beside the program's install prefix
// (bin/../share/...) and, for a program run from its build tree, in the
// source tree.

#include <QString>
#include <QStringList>

namespace programFiles {

// The desktop's name for this program: the desktop entry, the metainfo and
// the icon are named after it.
QString applicationId();

// The folders searched for the reference, first match wins.
QStringList referenceFolders(const QString& programFolder);
// The reference's path, or empty when no searched folder holds it.
QString findReference(const QString& programFolder);
// The window icon's path (PNG: Qt reads it without a plugin), or empty when no searched folder holds it.
QString findIcon(const QString& programFolder);

}  // namespace programFiles
