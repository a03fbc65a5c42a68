// A widget's state and styles: enabled, visible, focus, window class and
// window styles, fixed size, menu bar, immediate repaint.
#include "toolkit/base/system_text.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/widget.h"

bool IsEnabled(TWidget* widget) {
  if (widget->Window) return IsWindowEnabled(widget->Window) != FALSE;
  return (widget->Style & WS_DISABLED) == 0;
}

void SetEnabled(TWidget* widget, bool enabled) {
  if (IsEnabled(widget) == enabled) return;
  widget->Enabled = enabled;
  if (enabled) {
    widget->Style &= ~static_cast<uint32_t>(WS_DISABLED);
  } else {
    widget->Style |= WS_DISABLED;
  }
  if (widget->Window) EnableWindow(widget->Window, enabled);
}

bool IsVisible(TWidget* widget) {
  if (!widget->IsChildControl && widget->Window) {
    widget->Visible = IsWindowVisible(widget->Window) != FALSE;
  }
  return widget->Visible;
}

void SetVisible(TWidget* widget, bool visible) {
  if (!visible && widget->Window && widget->ShowPending) {
    // Hiding cancels a pending show: the widget leaves its parent's layout.
    widget->ShowPending = false;
    if (widget->Parent) RelayoutHook(widget->Parent);
  }
  if (IsVisible(widget) == visible) return;
  if (visible) {
    widget->Style |= WS_VISIBLE;
  } else {
    widget->Style &= ~static_cast<uint32_t>(WS_VISIBLE);
  }
  widget->Visible = visible;
  if (widget->Window) ShowWindow(widget->Window, visible ? SW_SHOW : SW_HIDE);
  if (widget->Parent) RelayoutHook(widget->Parent);
  if (visible) RelayoutHook(widget);
}

void SetVisibleExplicit(TWidget* widget, bool visible) {
  widget->VisibilitySet = true;
  SetVisible(widget, visible);
}

void Show(TWidget* widget) {
  HWND window = GetHandle(widget);
  if (!window) return;
  SetVisibleExplicit(widget, true);
  SetForegroundWindow(window);
  SetFocusTo(widget);
}

void Hide(TWidget* widget) {
  SetVisibleExplicit(widget, false);
}

bool SetFocusTo(TWidget* widget) {
  if (!IsEnabled(widget) || !widget->TakesFocus) return false;
  ++widget->FocusGuard;
  SetFocus(widget->Window);
  --widget->FocusGuard;
  return true;
}

void SetClassStyle(TWidget* widget, uint32_t classStyle) {
  if (classStyle == widget->ClassStyle) return;
  widget->ClassStyle = classStyle;
  // The style belongs to the registered class: every window of the kind
  // changes with it.
  if (widget->Window) SetClassLongPtrA(widget->Window, GCL_STYLE, classStyle);
}

void SetStyle(TWidget* widget, uint32_t style) {
  if (style == widget->Style) return;
  widget->Style = style;
  if (!widget->Window) return;
  SetWindowLongPtrA(widget->Window, GWL_STYLE, static_cast<LONG_PTR>(style));
  SetWindowPos(widget->Window, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Invalidate(widget);
}

bool FixedSizeHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (!widget->SizeLocked) return false;
  if (message.Message == WM_GETMINMAXINFO) {
    result = DefaultMessageProc(widget, message);
    auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
    info->ptMinTrackSize = {widget->FixedWidth, widget->FixedHeight};
    info->ptMaxTrackSize = {widget->FixedWidth, widget->FixedHeight};
    return true;
  }
  if (message.Message == WM_NCHITTEST) {
    LRESULT hit = DefaultMessageProc(widget, message);
    if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
      result = HTBORDER;
      return true;
    }
  }
  return false;
}

void SetResizable(TWidget* widget, bool resizable) {
  if (resizable) {
    widget->SizeLocked = false;
    DetachHandler(widget, &FixedSizeHandler);
    return;
  }
  if (widget->SizeLocked) return;
  widget->SizeLocked = true;
  SetStyle(widget, widget->Style | WS_THICKFRAME);
  GetHandle(widget);
  widget->FixedWidth = GetWidth(widget);
  widget->FixedHeight = GetHeight(widget);
  AttachHandler(widget, &FixedSizeHandler);
}

void SetMenuHandle(TWidget* widget, HMENU menu) {
  HMENU old = reinterpret_cast<HMENU>(widget->MenuOrId);
  if (menu == old) return;
  if (old) DestroyMenu(old);
  widget->MenuOrId = reinterpret_cast<uintptr_t>(menu);
  if (widget->Window) SetMenu(widget->Window, menu);
}

void UpdateNow(TWidget* widget) {
  if (!widget->Window) return;
  UpdateWindow(widget->Window);
  TPtrList* children = widget->Children;
  for (int32_t i = 0; i < children->Count; ++i) {
    UpdateNow(static_cast<TWidget*>(children->ItemAt(i)));
  }
}

int ShowMessageBox(const char* text, UINT flags) {
  HWND owner = MainWidget ? MainWidget->Window : nullptr;
  const char* title = MainWidget ? MainWidget->StoredText.c_str() : nullptr;
  return MessageBoxA(owner, SystemText(text ? text : "").c_str(), title, flags);
}

int ShowNotice(const char* text) {
  return ShowMessageBox(text, MB_SETFOREGROUND);
}
