// Where a widget is and how big: stored bounds until the window exists, the
// window's rectangle afterwards.
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"
#include "toolkit/widgets/widget.h"

RECT GetBounds(TWidget* widget) {
  RECT bounds = widget->Bounds;
  if (!widget->Window) return bounds;
  GetWindowRect(widget->Window, &bounds);
  TWidget* parent = widget->Parent;
  if (widget->IsChildControl && parent && parent->Window) {
    POINT origin = {0, 0};
    ClientToScreen(parent->Window, &origin);
    OffsetRect(&bounds, -origin.x, -origin.y);
  }
  return bounds;
}

void PlaceAndSize(TWidget* widget, const RECT& bounds) {
  RECT current = GetBounds(widget);
  if (EqualRect(&current, &bounds)) return;
  if (bounds.left != current.left) widget->ExplicitPosition |= kLeftWasSet;
  if (bounds.top != current.top) widget->ExplicitPosition |= kTopWasSet;
  widget->Bounds = bounds;
  if (!widget->Window) return;
  SetWindowPos(widget->Window, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate(widget);
}

int32_t GetWidth(TWidget* widget) {
  RECT bounds = GetBounds(widget);
  return bounds.right - bounds.left;
}

int32_t GetHeight(TWidget* widget) {
  RECT bounds = GetBounds(widget);
  return bounds.bottom - bounds.top;
}

void SetLeft(TWidget* widget, int32_t x) {
  RECT bounds = GetBounds(widget);
  PlaceAndSize(widget, {x, bounds.top, x + (bounds.right - bounds.left), bounds.bottom});
}

void SetTop(TWidget* widget, int32_t y) {
  RECT bounds = GetBounds(widget);
  PlaceAndSize(widget, {bounds.left, y, bounds.right, y + (bounds.bottom - bounds.top)});
}

void SetWidth(TWidget* widget, int32_t width) {
  RECT bounds = GetBounds(widget);
  PlaceAndSize(widget, {bounds.left, bounds.top, bounds.left + width, bounds.bottom});
}

void SetHeight(TWidget* widget, int32_t height) {
  RECT bounds = GetBounds(widget);
  PlaceAndSize(widget, {bounds.left, bounds.top, bounds.right, bounds.top + height});
}

TWidget* PlaceAt(TWidget* widget, int32_t x, int32_t y) {
  SetLeft(widget, x);
  SetTop(widget, y);
  return widget;
}

TWidget* SizeTo(TWidget* widget, int32_t width, int32_t height) {
  if (width > 0) SetWidth(widget, width);
  if (height > 0) SetHeight(widget, height);
  return widget;
}

void CenterInParent(TWidget* widget) {
  RECT area;
  if (widget->IsChildControl && widget->Parent) {
    area = ClientArea(widget->Parent);
  } else {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  SetLeft(widget, (area.right - (area.left + GetWidth(widget))) >> 1);
  SetTop(widget, (area.bottom - (area.top + GetHeight(widget))) >> 1);
}
