#pragma once
// Which widgets of the form make up each group of the enable rules.

#include "table/EnableRules.h"

namespace Ui {
class MainWindow;
}

// Enables or disables every widget of every group as states says.
void applyEnableStates(Ui::MainWindow& form, const table::EnableStates& states);
