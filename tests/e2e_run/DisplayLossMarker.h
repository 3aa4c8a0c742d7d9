#pragma once
// What the display-loss test's program writes when its last chance runs.
constexpr const char* LastChanceMarker = "last chance taken\n";
