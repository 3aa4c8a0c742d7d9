#pragma once
// The texts that give table rows and editor choices their meaning. They are
// both the editor's item texts and what the table cells hold, so rows,
// enable rules and the translation to Lua compare against these alone.

#include <QLatin1String>

namespace table {

// Column 0 and the editor's "nothing chosen" entry.
inline const QLatin1String NoInput("None");
inline const QLatin1String MouseAbsolute("Mouse Position");
inline const QLatin1String MouseRelative("Mouse Delta Pos");
inline const QLatin1String ScrollUp("Scroll Up");
inline const QLatin1String ScrollDown("Scroll Down");

// Mouse buttons are key names too, played by the button functions.
inline const QLatin1String MouseButtonNames[] = {
    QLatin1String("MouseLeft"), QLatin1String("MouseMiddle"), QLatin1String("MouseRight"),
    QLatin1String("MouseX1"), QLatin1String("MouseX2")};

// Column 1 of key and button rows.
inline const QLatin1String ActionHit("Hit");
inline const QLatin1String ActionPress("Press");
inline const QLatin1String ActionRelease("Release");

// Items of the input location choice.
inline const QLatin1String LocationKeyboard("Keyboard");
inline const QLatin1String LocationMouse("Mouse");

// Pointer rows hold X and Y joined by this.
inline const QLatin1String PointerSeparator("   ");

// The key name that must be escaped inside a Lua string.
inline const QLatin1String BackslashKey("\\");

// Table files join the three cells with this; it cannot appear in a cell.
constexpr char TableFieldSeparator = ':';
constexpr int TableColumnCount = 3;

// Hits shorter than this split their delay evenly between hold and wait;
// longer ones hold for HitLongHold and wait for the rest.
constexpr double HitSplitThreshold = 100.0;
inline const QLatin1String HitLongHold("50");
constexpr double HitLongHoldValue = 50.0;
// Digits after the point of every number the translation computes.
constexpr int LuaNumberDecimals = 6;
// Significant digits of a wheel strength put into a row.
constexpr int WheelStrengthDigits = 6;

bool isMouseButtonName(const QString& text);
bool isPointerEntry(const QString& text);
bool isWheelEntry(const QString& text);

}  // namespace table
