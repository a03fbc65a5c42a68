// Alignment layout: children glued to a side of their parent's client area,
// or filling what is left of it, placed again whenever it changes.
#include "toolkit/widgets/layout.h"

#include "toolkit/widgets/dispatch.h"

namespace {

// Where one aligned child goes; `remaining` shrinks by what it takes.
RECT AlignedBounds(uint8_t mode, RECT child, RECT& remaining, int32_t spacing) {
  int32_t width = child.right - child.left;
  int32_t height = child.bottom - child.top;
  switch (mode) {
    case kAlignLeft:
      child.left = remaining.left + spacing;
      child.right = child.left + width;
      remaining.left += spacing + width;
      child.top = remaining.top + spacing;
      child.bottom = remaining.bottom - spacing;
      break;
    case kAlignTop:
      child.top = remaining.top + spacing;
      child.bottom = child.top + height;
      remaining.top += spacing + height;
      child.left = remaining.left + spacing;
      child.right = remaining.right - spacing;
      break;
    case kAlignRight:
      child.right = remaining.right - spacing;
      child.left = child.right - width;
      remaining.right -= spacing + width;
      child.top = remaining.top + spacing;
      child.bottom = remaining.bottom - spacing;
      break;
    case kAlignBottom:
      child.bottom = remaining.bottom - spacing;
      child.top = child.bottom - height;
      remaining.bottom -= spacing + height;
      child.left = remaining.left + spacing;
      child.right = remaining.right - spacing;
      break;
    default:  // client
      child = {remaining.left + spacing, remaining.top + spacing, remaining.right - spacing,
               remaining.bottom - spacing};
      break;
  }
  // A parent too small for its children gives them no room, never less.
  if (child.right < child.left) child.right = child.left;
  if (child.bottom < child.top) child.bottom = child.top;
  return child;
}

}  // namespace

TWidget* SetAlignMode(TWidget* widget, uint8_t mode) {
  RelayoutHook = &RedoLayout;
  if (mode != widget->AlignMode) {
    widget->AlignMode = mode;
    RedoLayout(widget->Parent);
  }
  return widget;
}

void SetInset(TWidget* widget, int side, int32_t value) {
  switch (side) {
    case kInsetTop:
      widget->InsetTop = value;
      break;
    case kInsetBottom:
      widget->InsetBottom = value;
      break;
    case kInsetLeft:
      widget->InsetLeft = value;
      break;
    case kInsetRight:
      widget->InsetRight = value;
      break;
    default:
      break;
  }
  RelayoutHook(widget);
}

RECT ClientArea(TWidget* widget) {
  RECT area = widget->Bounds;
  if (HWND window = GetHandle(widget)) GetClientRect(window, &area);
  area.top += widget->InsetTop;
  area.bottom -= widget->InsetBottom;
  area.left += widget->InsetLeft;
  area.right -= widget->InsetRight;
  return area;
}

int32_t ClientWidth(TWidget* widget) {
  RECT area = ClientArea(widget);
  return area.right - area.left;
}

int32_t ClientHeight(TWidget* widget) {
  RECT area = ClientArea(widget);
  return area.bottom - area.top;
}

bool ToBeVisible(TWidget* widget) {
  bool own = widget->Visible || widget->ShowPending;
  if (widget->IsChildControl && widget->Parent) return own && ToBeVisible(widget->Parent);
  return own;
}

void AlignPass(TWidget* widget, RECT& remaining, uint32_t modeSet) {
  TPtrList* children = widget->Children;
  for (int32_t i = 0; i < children->Count; ++i) {
    auto* child = static_cast<TWidget*>(children->ItemAt(i));
    if (!ToBeVisible(child) || !(modeSet & AlignBit(child->AlignMode))) continue;
    RECT old = GetBounds(child);
    RECT placed = AlignedBounds(child->AlignMode, old, remaining, widget->Spacing);
    bool moved = placed.left != old.left || placed.top != old.top;
    bool resized = placed.right - placed.left != old.right - old.left ||
                   placed.bottom - placed.top != old.bottom - old.top;
    if (moved || resized) PlaceAndSize(child, placed);
    if (resized) RedoLayout(child);
  }
}

void RedoLayout(TWidget* widget) {
  if (!widget) return;
  RECT remaining = ClientArea(widget);
  AlignPass(widget, remaining, AlignBit(kAlignTop) | AlignBit(kAlignBottom));
  AlignPass(widget, remaining, AlignBit(kAlignLeft) | AlignBit(kAlignRight));
  AlignPass(widget, remaining, AlignBit(kAlignClient));
}
