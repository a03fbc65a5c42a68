#pragma once

#include "toolkit/widgets/widget.h"

// A check box: a system BUTTON that checks and unchecks itself when
// clicked; each click raises the ClickEvent after the box has changed.
TWidget* MakeCheckBox(TWidget* parent, const char* caption);
// Both create the box's window when there is none.
bool IsChecked(TWidget* box);
// Raises no event.
void SetChecked(TWidget* box, bool checked);
