#pragma once
// Texts the window's parts share. They keep the window's translation
// context, wherever the part that shows them lives.

#include <QCoreApplication>
#include <QString>

// A text of the window, translated.
inline QString windowText(const char* source) { return QCoreApplication::translate("MainWindow", source); }

// Dialog texts; captions and filters are translated, starting paths are not.
inline constexpr char SaveFileCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Save File");
inline constexpr char ScriptFileStart[] = "LuaScripts/untitled.lua";
inline constexpr char ScriptFileFilter[] = QT_TRANSLATE_NOOP("MainWindow", "Lua (*.lua)");
