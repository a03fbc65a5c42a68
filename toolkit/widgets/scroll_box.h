#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/widgets/widget.h"

// Edge kinds of MakeScrollBox.
constexpr uint8_t kScrollEdgeFrame = 0;   // WS_DLGFRAME
constexpr uint8_t kScrollEdgeClient = 1;  // a client edge
constexpr uint8_t kScrollEdgeNone = 2;

// A container whose window scroll bars are sized from the bounding box of
// its children and whose scrolling moves the children.
TWidget* MakeScrollBox(TWidget* parent, uint8_t edgeKind);

// The bounding box of the visible children in the box's client coordinates,
// widened by the box's Spacing (right and bottom inclusive); (0, 0, -1, -1)
// when no child is visible.
RECT ChildrenExtent(TWidget* box);
// The box's recompute routine: with a child, starts watching it; without,
// sizes both scroll bars to the client area and the children, keeping the
// relative scroll positions.
void UpdateScrollRanges(TWidget* box, TWidget* child);
// The box's scroll routine: moves the children so that the extent's left and
// top edges sit at minus the scroll positions.
void ScrollChildren(TWidget* box);

bool ScrollBoxHandler(TWidget* box, TMessage& message, LRESULT& result);
// On each child: a move, resize or visibility change recomputes the ranges.
bool ScrollChildHandler(TWidget* child, TMessage& message, LRESULT& result);
