// Handlers every widget of a kind carries: controls (colours, notifications,
// focus), forms (session end, background, focus), painted widgets and group
// boxes.
#include "toolkit/base/win32_handles.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/message_loop.h"

namespace {

// Combo box notifications that every control understands.
constexpr uint16_t kComboSelChange = 1;  // CBN_SELCHANGE
constexpr uint16_t kComboDropDown = 7;   // CBN_DROPDOWN
constexpr uint16_t kComboCloseUp = 8;    // CBN_CLOSEUP

void FillWithColor(HDC dc, const RECT& area, TColor color) {
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ResolveColor(color)));
  FillRect(dc, &area, brush.Get());
}

LRESULT PaintControlColors(TWidget* widget, HDC dc) {
  SetTextColor(dc, ResolveColor(widget->InkColor));
  if (widget->Transparent) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  COLORREF back = ResolveColor(widget->Color);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, back);
  if (!widget->CtlBrush) widget->CtlBrush = CreateSolidBrush(back);
  return reinterpret_cast<LRESULT>(widget->CtlBrush);
}

int32_t CurrentItemIndex(TWidget* widget) {
  uint16_t message = widget->KindTable.CurrentIndexMessage;
  if (!message) return -1;
  return static_cast<int32_t>(SendToWidget(widget, message, 0, 0));
}

// Raises the event a notification code stands for; false for codes the
// control does not know.
bool RaiseNotification(TWidget* widget, uint16_t code) {
  const uint16_t* codes = widget->KindTable.NotifyCodes;
  if (code == codes[kNotifyClick]) {
    // A click caused by the toolkit giving the focus is not the user's.
    if (widget->FocusGuard == 0) widget->ClickEvent(widget);
  } else if (code == codes[kNotifyFocusIn]) {
    widget->FocusInEvent(widget);
  } else if (code == codes[kNotifyFocusOut]) {
    widget->FocusOutEvent(widget);
  } else if (code == codes[kNotifyChange]) {
    widget->ChangeEvent(widget);
  } else if (code == codes[kNotifySelect]) {
    if (widget->SelectEvent.IsSet()) {
      widget->SelectEvent(widget);
    } else {
      widget->ChangeEvent(widget);
    }
  } else if (code == kComboDropDown) {
    widget->DroppedDown = true;
    widget->DropDownIndex = CurrentItemIndex(widget);
    if (widget->DropDownEvent) widget->DropDownEvent(widget);
  } else if (code == kComboSelChange) {
    // The select event waits until the control has finished updating.
    PostMessageA(widget->Window, TKM_COMMAND, MAKEWPARAM(0, kPostedSelectCode), 0);
  } else if (code == kComboCloseUp) {
    widget->DroppedDown = false;
    widget->CloseUpEvent(widget);
  } else {
    return false;
  }
  return true;
}

void EraseFormBackground(TWidget* form, HDC dc) {
  form->PaintContext = dc;
  TPtrList* children = form->Children;
  for (int32_t i = 0; i < children->Count; ++i) {
    auto* child = static_cast<TWidget*>(children->ItemAt(i));
    if (!child->Window) child->CreateWindowHandle();
  }
  RECT area;
  GetClientRect(form->Window, &area);
  FillWithColor(dc, area, form->Color);
  form->PaintContext = nullptr;
}

// A hidden or disabled window cannot hold the focus for the user (a modal
// form records itself here and is hidden when it closes).
bool CanTakeFocus(HWND window) {
  return window && IsWindowVisible(window) && IsWindowEnabled(window);
}

bool ForwardFormFocus(TWidget* form) {
  bool handled = false;
  if (form->FocusedChild) {
    HWND target = GetHandle(form->FocusedChild);
    if (CanTakeFocus(target)) {
      SetFocus(target);
      handled = true;
    }
  }
  if (MainWidget && MainWidget != form && !form->IsChildControl) MainWidget->FocusedChild = form;
  return handled;
}

}  // namespace

bool ControlHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  UINT id = message.Message;
  if (id >= TKM_REFLECT_BASE + WM_CTLCOLORMSGBOX && id <= TKM_REFLECT_BASE + WM_CTLCOLORSTATIC) {
    result = PaintControlColors(widget, reinterpret_cast<HDC>(message.WParam));
    return true;
  }
  if (id == TKM_COMMAND) {
    if (!RaiseNotification(widget, HIWORD(message.WParam))) return false;
    result = DefaultMessageProc(widget, message);
    return true;
  }
  if (id == WM_SETFOCUS) {
    if (TWidget* form = ParentForm(widget)) form->FocusedChild = widget;
  }
  return false;
}

bool FormHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  switch (message.Message) {
    case WM_ENDSESSION:
      if (!message.WParam) return false;
      result = 0;
      EndMainLoop(MainWidget);
      return true;
    case WM_ERASEBKGND:
      EraseFormBackground(widget, reinterpret_cast<HDC>(message.WParam));
      result = 0;
      return true;
    case WM_SETFOCUS:
      return ForwardFormFocus(widget);
    default:
      return false;
  }
}

bool GroupBoxEraseHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != WM_ERASEBKGND) return false;
  RECT area;
  GetClientRect(widget->Window, &area);
  FillWithColor(reinterpret_cast<HDC>(message.WParam), area, widget->Color);
  result = 1;
  return true;
}

namespace {

// One paint of a widget, ended however its event ends: the painter gives
// the paint context back, EndPaint matches BeginPaint, and the update region
// goes.
class TPaintScope {
 public:
  TPaintScope(TWidget* widget, HDC given) : widget_(widget), ownPaint_(given == nullptr) {
    HWND window = widget->Window;
    widget->UpdateRegion = CreateRectRgn(0, 0, 0, 0);
    int kind = GetUpdateRgn(window, widget->UpdateRegion, widget->EraseOnPaint);
    if (kind == ERROR || kind == NULLREGION) DropUpdateRegion();
    widget->PaintContext = ownPaint_ ? BeginPaint(window, &paint_) : given;
  }
  ~TPaintScope() {
    if (widget_->Painter && WidgetModuleHooks.DetachPainter) {
      WidgetModuleHooks.DetachPainter(widget_);
    }
    if (ownPaint_) EndPaint(widget_->Window, &paint_);
    widget_->PaintContext = nullptr;
    DropUpdateRegion();
  }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;

 private:
  void DropUpdateRegion() {
    if (widget_->UpdateRegion) DeleteObject(widget_->UpdateRegion);
    widget_->UpdateRegion = nullptr;
  }

  TWidget* widget_;
  bool ownPaint_;
  PAINTSTRUCT paint_{};
};

}  // namespace

bool PaintHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != WM_PAINT) return false;
  TPaintScope paint(widget, reinterpret_cast<HDC>(message.WParam));
  widget->PaintEvent(widget, widget->PaintContext);
  result = 0;
  return true;
}

void SetPaintEvent(TWidget* widget, TPaintEvent event) {
  widget->PaintEvent = event;
  AttachHandler(widget, &PaintHandler);
}
