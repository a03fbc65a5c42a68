#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/widgets/widget.h"

// SetInset sides.
constexpr int kInsetTop = 1;
constexpr int kInsetBottom = 2;
constexpr int kInsetLeft = 3;
constexpr int kInsetRight = 4;

// Glues the widget to a side of its parent (kAlign...) and lays the parent
// out again; the first call switches alignment on for the whole toolkit.
TWidget* SetAlignMode(TWidget* widget, uint8_t mode);
void SetInset(TWidget* widget, int side, int32_t value);

// The client rectangle offered to the widget's children, in its client
// coordinates; creates the window when there is none.
RECT ClientArea(TWidget* widget);
int32_t ClientWidth(TWidget* widget);
int32_t ClientHeight(TWidget* widget);

// Places the aligned children: top and bottom first, then left and right,
// then the client child, each pass in creation order.
void RedoLayout(TWidget* widget);
void AlignPass(TWidget* widget, RECT& remaining, uint32_t modeSet);
// Whether the widget takes part in its parent's layout.
bool ToBeVisible(TWidget* widget);

// Bit of an alignment mode in AlignPass's mode set.
constexpr uint32_t AlignBit(uint8_t mode) {
  return mode < 32 ? 1u << mode : 0;
}
