#pragma once
// The warning boxes for a file that could not be saved or loaded: each names
// the file and gives the reason.

#include <QString>

class QWidget;

// The save failed; whatever file was at path before is still there unchanged.
void warnNotSaved(QWidget* parent, const QString& path, const QString& reason);
// Nothing of the file at path was loaded.
void warnNotLoaded(QWidget* parent, const QString& path, const QString& reason);
