// The scroll box: scroll ranges that follow the children, scrolling that
// moves them.
#include "toolkit/widgets/scroll_box.h"

#include <algorithm>
#include <cmath>

#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"

namespace {

constexpr int32_t kLineStep = 16;
constexpr UINT kScrollInfoAll = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

uint32_t EdgeStyle(uint8_t edgeKind) {
  switch (edgeKind) {
    case kScrollEdgeFrame:
      return WS_DLGFRAME;
    case kScrollEdgeClient:
      return 0x1000;  // a class bit the box ignores; the edge is WS_EX_CLIENTEDGE
    default:
      return 0;
  }
}

void Recompute(TWidget* box) {
  if (box->RecomputeRoutine) box->RecomputeRoutine(box, nullptr);
}

// Runs `action` with the recompute routine switched off, so that moving
// many children does not recompute once per child.
template <typename TAction>
void WithoutRecompute(TWidget* box, TAction action) {
  TChildRoutine saved = box->RecomputeRoutine;
  box->RecomputeRoutine = nullptr;
  action();
  box->RecomputeRoutine = saved;
}

void Widen(LONG& low, LONG& high, LONG childLow, LONG childHigh) {
  if (low == high) {
    low = childLow;
    high = childHigh;
    return;
  }
  if (childLow < low) low = childLow;
  if (childHigh > high) high = childHigh;
}

// One bar's range: it covers the client area, grows to the content and
// includes content scrolled off before the origin; the position keeps its
// place relative to the range.
void SetBarRange(HWND window, int bar, int32_t clientEnd, LONG extentLow, LONG extentHigh) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (!GetScrollInfo(window, bar, &info)) info.nMin = info.nMax = info.nPos = 0;
  double relative =
      info.nMax == info.nMin ? 0.0 : double(info.nPos - info.nMin) / (info.nMax - info.nMin);
  info.nMin = 0;
  info.nMax = std::max<int32_t>(clientEnd - 1, extentHigh - 1);
  if (extentLow < 0) {
    info.nMax = std::max<int32_t>(clientEnd - extentLow - 1, extentHigh - extentLow - 1);
  }
  info.nPos = static_cast<int>(std::nearbyint(info.nMax * relative));  // ties to even
  info.nPage = static_cast<UINT>(std::max<int32_t>(clientEnd, 0));
  SetScrollInfo(window, bar, &info, TRUE);
}

int32_t LineStep(TWidget* box, int bar) {
  return bar == SB_HORZ ? box->HorzLineStep : box->VertLineStep;
}

int ScrolledPosition(TWidget* box, int bar, const SCROLLINFO& info, WORD request) {
  int page = std::max<int>(static_cast<int>(info.nPage), 1);
  switch (request) {
    case SB_LINEUP:
      return info.nPos - LineStep(box, bar);
    case SB_LINEDOWN:
      return info.nPos + LineStep(box, bar);
    case SB_PAGEUP:
      return info.nPos - page;
    case SB_PAGEDOWN:
      return info.nPos + page;
    case SB_THUMBTRACK:
      return info.nTrackPos;
    case SB_TOP:
      return info.nMin;
    case SB_BOTTOM:
      return info.nMax;
    default:  // SB_THUMBPOSITION, SB_ENDSCROLL: the track already moved
      return info.nPos;
  }
}

void OnScroll(TWidget* box, int bar, WORD request) {
  HWND window = box->Window;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = kScrollInfoAll;
  GetScrollInfo(window, bar, &info);
  info.fMask = SIF_POS;
  // The system limits the position further, to nMax - nPage + 1.
  info.nPos = std::clamp(ScrolledPosition(box, bar, info, request), info.nMin, info.nMax);
  SetScrollInfo(window, bar, &info, TRUE);
  WithoutRecompute(box, [box] {
    if (box->ScrollRoutine) box->ScrollRoutine(box);
  });
  SetScrollInfo(window, bar, &info, TRUE);
}

}  // namespace

TWidget* MakeScrollBox(TWidget* parent, uint8_t edgeKind) {
  uint32_t style = WS_CHILD | WS_VISIBLE | EdgeStyle(edgeKind);
  TWidget* box =
      MakeControl(parent, "ScrollBox", style, PlainKindTable(), edgeKind == kScrollEdgeClient);
  AttachHandler(box, &FormHandler);
  AttachHandler(box, &ScrollBoxHandler);
  box->HorzLineStep = kLineStep;
  box->VertLineStep = kLineStep;
  box->RecomputeRoutine = &UpdateScrollRanges;
  box->ScrollRoutine = &ScrollChildren;
  return box;
}

RECT ChildrenExtent(TWidget* box) {
  RECT extent = {0, 0, 0, 0};
  bool any = false;
  TPtrList* children = box->Children;
  for (int32_t i = 0; i < children->Count; ++i) {
    auto* child = static_cast<TWidget*>(children->ItemAt(i));
    if (!child->Visible) continue;
    RECT bounds = GetBounds(child);
    Widen(extent.left, extent.right, bounds.left, bounds.right);
    Widen(extent.top, extent.bottom, bounds.top, bounds.bottom);
    any = true;
  }
  // Without content there is no margin to keep either: an empty box would
  // otherwise scroll over its spacing.
  if (!any) return {0, 0, -1, -1};
  extent.left -= box->Spacing;
  extent.top -= box->Spacing;
  extent.right += box->Spacing - 1;
  extent.bottom += box->Spacing - 1;
  return extent;
}

void UpdateScrollRanges(TWidget* box, TWidget* child) {
  if (child) {
    AttachHandler(child, &ScrollChildHandler);
    return;
  }
  if (!box->Window) return;  // ranges belong to the window; made with it
  RECT extent = ChildrenExtent(box);
  RECT client = ClientArea(box);
  SetBarRange(box->Window, SB_HORZ, client.right, extent.left, extent.right);
  SetBarRange(box->Window, SB_VERT, client.bottom, extent.top, extent.bottom);
}

void ScrollChildren(TWidget* box) {
  RECT extent = ChildrenExtent(box);
  int dx = -GetScrollPos(box->Window, SB_HORZ) - extent.left;
  int dy = -GetScrollPos(box->Window, SB_VERT) - extent.top;
  if (dx == 0 && dy == 0) return;
  WithoutRecompute(box, [box, dx, dy] {
    TPtrList* children = box->Children;
    for (int32_t i = 0; i < children->Count; ++i) {
      auto* child = static_cast<TWidget*>(children->ItemAt(i));
      RECT bounds = GetBounds(child);
      OffsetRect(&bounds, dx, dy);
      PlaceAndSize(child, bounds);
    }
  });
  RECT moved = ChildrenExtent(box);
  bool resized = moved.right - moved.left != extent.right - extent.left ||
                 moved.bottom - moved.top != extent.bottom - extent.top;
  if (resized) Recompute(box);
}

bool ScrollBoxHandler(TWidget* box, TMessage& message, LRESULT&) {
  switch (message.Message) {
    case WM_SIZE:
      UpdateScrollRanges(box, nullptr);
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      // Scroll bar controls among the children report their own scrolling.
      if (message.LParam) break;
      OnScroll(box, message.Message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(message.WParam));
      break;
    default:
      break;
  }
  return false;
}

bool ScrollChildHandler(TWidget* child, TMessage& message, LRESULT&) {
  TWidget* box = child->Parent;
  switch (message.Message) {
    case WM_SIZE:
    case WM_MOVE:
    case TKM_CHILDCHANGED:
      if (box) Recompute(box);
      break;
    case WM_SHOWWINDOW:
      // The window is not yet visible or hidden here; recompute once it is.
      PostMessageA(child->Window, TKM_CHILDCHANGED, 0, 0);
      break;
    default:
      break;
  }
  return false;
}
