#pragma once
// Which widgets of the form make up each group of the enable rules.

#include "EnableRules.h"

struct DesktopLimits;
namespace Ui {
class MainWindow;
}

// Enables or disables every widget of every group as states says.
void applyEnableStates(Ui::MainWindow& form, const EnableStates& states);
// Enables exactly the controls that fit the mode, the chosen input, the
// selection, whether a run or a recording is in progress, and what the
// desktop offers.
void updateEnabledStates(Ui::MainWindow& form, const DesktopLimits& limits);
