// The one window procedure: ties windows to widgets, offers each message to
// the widget's handlers, then to the built-in cases, then to the system.
#include "toolkit/widgets/dispatch.h"

#include <exception>

#include "toolkit/widgets/message_loop.h"

TWidget* MainWidget = nullptr;
TWidget* CreatingWidget = nullptr;
uint16_t NextControlId = 0x8000;

namespace {

// WM_KEYLAST without WM_UNICHAR: the key messages the toolkit filters.
constexpr UINT kLastKeyMessage = 0x0108;

void IgnoreRelayout(TWidget*) {}

bool KeyIsDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

LRESULT OnClose(TWidget* widget, TMessage& message) {
  if (!IsTopForm(widget) && widget != MainWidget) return DefaultMessageProc(widget, message);
  // Closing the main window ends the run; the window itself stays until the
  // main loop frees its form.
  if (MainWidget && MainWidget != widget) SendMessageA(GetHandle(MainWidget), WM_CLOSE, 0, 0);
  PostQuitMessage(0);
  return 0;
}

LRESULT OnNcDestroy(TWidget* widget, TMessage& message) {
  // A window whose creation failed: the widget stays, without a window, for
  // the caller that is still creating it.
  if (widget->CreatingWindow && message.Window == widget->Window) {
    LRESULT result = DefaultMessageProc(widget, message);
    widget->Window = nullptr;
    return result;
  }
  bool childOfMain = MainWidget && widget->Parent == MainWidget &&
                     widget->Window != MainWidget->Window && !IsTopForm(widget);
  if (!childOfMain) return DefaultMessageProc(widget, message);
  widget->WindowGone = true;
  Free(widget);
  return 0;
}

LRESULT OnSize(TWidget* widget, TMessage& message) {
  LRESULT result = DefaultMessageProc(widget, message);
  widget->SizeState = static_cast<uint8_t>(message.WParam & 0xFF);
  RelayoutHook(widget);
  return result;
}

// Owned windows remember how to come back when their owner is restored.
LRESULT OnShowWindow(TWidget* widget, TMessage& message) {
  if (message.LParam == SW_PARENTCLOSING) {
    HWND window = widget->Window;
    widget->SavedShowState = IsIconic(window)   ? SW_SHOWMINNOACTIVE
                             : IsZoomed(window) ? SW_SHOWMAXIMIZED
                                                : SW_SHOWNOACTIVATE;
  } else if (message.LParam == SW_PARENTOPENING) {
    if (widget->SavedShowState) ShowWindow(widget->Window, widget->SavedShowState);
    widget->SavedShowState = 0;
    return 0;
  }
  return DefaultMessageProc(widget, message);
}

// Minimising a secondary top form minimises the main window instead.
LRESULT OnSysCommand(TWidget* widget, TMessage& message) {
  if ((message.WParam & 0xFFF0) == SC_MINIMIZE && IsTopForm(widget) && MainWidget &&
      widget != MainWidget) {
    PostMessageA(MainWidget->Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return 0;
  }
  return DefaultMessageProc(widget, message);
}

LRESULT OnSetFocus(TWidget* widget, TMessage& message) {
  if (!IsEnabled(widget) || !widget->TakesFocus) return 0;
  ++widget->FocusGuard;
  SetFocus(widget->Window);
  LRESULT result = DefaultMessageProc(widget, message);
  --widget->FocusGuard;
  return result;
}

LRESULT OnSetCursor(TWidget* widget, TMessage& message) {
  if (GetCapture() || LOWORD(message.LParam) != HTCLIENT) {
    return DefaultMessageProc(widget, message);
  }
  SetCursor(widget->MouseCursor);
  return TRUE;
}

// Controls paint themselves with their own colours: the colour request goes
// back to the control that asked.
LRESULT OnControlColor(TMessage& message) {
  auto control = reinterpret_cast<HWND>(message.LParam);
  return SendMessageA(control, message.Message + TKM_REFLECT_BASE, message.WParam, message.LParam);
}

// A control's notification goes back to the control, where it raises events.
LRESULT OnCommand(TWidget* widget, TMessage& message) {
  auto source = reinterpret_cast<HWND>(message.LParam);
  if (WidgetOfWindow(source)) {
    return SendMessageA(source, TKM_COMMAND, message.WParam, message.LParam);
  }
  return DefaultMessageProc(widget, message);
}

// Keys count only for the window that has the focus; Tab is never typed.
LRESULT OnKey(TWidget* widget, TMessage& message) {
  HWND focus = GetFocus();
  if (focus != widget->Window && focus != widget->InnerWindow) return 0;
  if (KeyIsDown(VK_CONTROL) || KeyIsDown(VK_MENU)) return DefaultMessageProc(widget, message);
  if (message.Message == WM_CHAR && (message.WParam & 0xFF) == '\t') {
    message.WParam = 0;
    return 0;
  }
  return DefaultMessageProc(widget, message);
}

LRESULT BuiltInMessage(TWidget* widget, TMessage& message) {
  UINT id = message.Message & 0xFFFF;
  switch (id) {
    case WM_CLOSE:
      return OnClose(widget, message);
    case WM_NCDESTROY:
      return OnNcDestroy(widget, message);
    case WM_SIZE:
      return OnSize(widget, message);
    case WM_SHOWWINDOW:
      return OnShowWindow(widget, message);
    case WM_SYSCOMMAND:
      return OnSysCommand(widget, message);
    case WM_SETFOCUS:
      return OnSetFocus(widget, message);
    case WM_SETCURSOR:
      return OnSetCursor(widget, message);
    case WM_COMMAND:
      return OnCommand(widget, message);
    default:
      break;
  }
  if (id >= WM_CTLCOLORMSGBOX && id <= WM_CTLCOLORSTATIC) return OnControlColor(message);
  if (id >= WM_KEYFIRST && id <= kLastKeyMessage) return OnKey(widget, message);
  return DefaultMessageProc(widget, message);
}

}  // namespace

TRelayoutRoutine RelayoutHook = &IgnoreRelayout;

LRESULT TWidget::WidgetMessageProc(TMessage& message) {
  LRESULT result = 0;
  // A handled message may have freed the widget: nothing touches it after.
  if (KindHandler(this, message, result)) return result;
  return BuiltInMessage(this, message);
}

namespace {

LRESULT DispatchToWidget(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TMessage record = {window, message, wParam, lParam};
  if (window && CreatingWidget) {
    TWidget* widget = CreatingWidget;
    widget->Window = window;
    BindWindow(window, widget);
    CreatingWidget = nullptr;
    return widget->WidgetMessageProc(record);
  }
  if (TWidget* widget = WidgetOfWindow(window)) {
    LRESULT result = widget->WidgetMessageProc(record);
    // A window the system destroys may give its handle to a new window.
    if ((message & 0xFFFF) == WM_NCDESTROY) ForgetBinding(window);
    return result;
  }
  if (MainWidget) return MainWidget->WidgetMessageProc(record);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The system's frames below cannot be unwound: a command that runs out of
  // memory (or fails otherwise) ends there, and the program keeps running.
  try {
    return DispatchToWidget(window, message, wParam, lParam);
  } catch (const std::exception&) {
    // A paint left to the system validates the window; answering 0 would
    // leave it invalid, to be painted again and again.
    if ((message & 0xFFFF) == WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    return 0;
  }
}

namespace {

// A hold on an object for as long as a scope runs.
class THold {
 public:
  explicit THold(TBaseObject* object) : object_(object) { AddRef(object_); }
  ~THold() { ReleaseRef(object_); }
  THold(const THold&) = delete;
  THold& operator=(const THold&) = delete;

 private:
  TBaseObject* object_;
};

// Recently looked-up windows: reading a window property costs a round trip
// to the window server on some systems, and a list being filled receives
// thousands of messages in a row.
struct TBinding {
  HWND Window = nullptr;
  TWidget* Widget = nullptr;
};
TBinding g_bindings[64];

TBinding& BindingSlot(HWND window) {
  auto key = reinterpret_cast<uintptr_t>(window);
  return g_bindings[(key ^ (key >> 6)) % 64];
}

}  // namespace

void BindWindow(HWND window, TWidget* widget) {
  SetPropA(window, kSelfProperty, widget);
  BindingSlot(window) = {window, widget};
}

void ForgetBinding(HWND window) {
  TBinding& slot = BindingSlot(window);
  if (slot.Window == window) slot = TBinding();
}

void UnbindWindow(HWND window) {
  RemovePropA(window, kSelfProperty);
  ForgetBinding(window);
}

TWidget* WidgetOfWindow(HWND window) {
  if (!window) return nullptr;
  TBinding& slot = BindingSlot(window);
  if (slot.Window == window) return slot.Widget;
  auto* widget = static_cast<TWidget*>(GetPropA(window, kSelfProperty));
  if (widget) slot = {window, widget};
  return widget;
}

LRESULT DefaultMessageProc(TWidget* widget, const TMessage& message) {
  if (widget->ClassProc) {
    return CallWindowProcA(widget->ClassProc, widget->Window, message.Message, message.WParam,
                           message.LParam);
  }
  return DefWindowProcA(message.Window, message.Message, message.WParam, message.LParam);
}

void AttachHandler(TWidget* widget, TMessageHandler handler) {
  void* entry = reinterpret_cast<void*>(handler);
  if (widget->HandlerChain->IndexOf(entry) < 0) widget->HandlerChain->Add(entry);
  widget->KindHandler = &ChainDispatcher;
}

void DetachHandler(TWidget* widget, TMessageHandler handler) {
  widget->HandlerChain->Remove(reinterpret_cast<void*>(handler));
}

bool ChainDispatcher(TWidget* widget, TMessage& message, LRESULT& result) {
  // A widget being torn down takes no holds and runs no handlers: its
  // children's last notifications get the default processing.
  if (widget->TearingDown) return false;
  TPtrList* chain = widget->HandlerChain;
  if (chain->Count == 0) return false;
  // A handler may free the widget: the hold keeps it until the walk is over,
  // however the walk ends.
  THold hold(widget);
  for (int32_t i = chain->Count - 1; i >= 0; --i) {
    if (i >= chain->Count) continue;  // handlers were detached during the walk
    auto handler = reinterpret_cast<TMessageHandler>(chain->ItemAt(i));
    if (handler(widget, message, result)) return true;
  }
  // Only this walk's hold left and a free requested: the widget goes when
  // the hold is given back, and nothing may touch it any more.
  return widget->RefCount == 1;
}

LRESULT SendToWidget(TWidget* widget, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetHandle(widget), message, wParam, lParam);
}

void RequestClose(TWidget* widget) {
  // Without a window there is nothing to close (and a post to window 0
  // would become a message for the thread).
  if (widget->Window) PostMessageA(widget->Window, WM_CLOSE, 0, 0);
}

void Invalidate(TWidget* widget) {
  if (RunDepth != 0 && widget->Window) InvalidateRect(widget->Window, nullptr, TRUE);
}

bool IsTopForm(TWidget* widget) {
  if (widget->IsChildControl) return false;
  TWidget* parent = widget->Parent;
  if (!parent) return true;
  return !parent->Parent && parent->Children->Count > 0 && parent->Children->ItemAt(0) == widget;
}
