#pragma once
// The ids of the two global hotkeys.

constexpr int RunHotkeyId = 1;
constexpr int RecordingHotkeyId = 2;

// The run hotkey until the user picks another.
constexpr char DefaultRunHotkey[] = "F4";
