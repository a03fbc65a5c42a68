// Windows on demand: class registration under the "obj_" prefix, creation,
// and the hidden creation that shows a window only once its children exist.
#include <string>

#include "toolkit/widgets/dispatch.h"

namespace {

constexpr uint32_t kPerWindowDcStyles = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS;

HINSTANCE ModuleInstance() {
  return GetModuleHandleA(nullptr);
}

// The class a widget's kind is registered with: a toolkit class of its own,
// or a copy of the system class it is built on, whose procedure the widget
// then calls for default processing.
WNDCLASSA PrepareClass(TWidget* widget) {
  WNDCLASSA prepared{};
  prepared.style = widget->ClassStyle;
  prepared.lpfnWndProc = widget->ClassProc;
  prepared.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  WNDCLASSA system;
  if (widget->KindName && *widget->KindName && GetClassInfoA(nullptr, widget->KindName, &system)) {
    prepared = system;
  }
  prepared.hInstance = ModuleInstance();
  prepared.style &= ~kPerWindowDcStyles;
  if (!widget->ClassProc) widget->ClassProc = prepared.lpfnWndProc;
  return prepared;
}

bool EnsureRegistered(WNDCLASSA wndClass, const std::string& className) {
  WNDCLASSA existing;
  if (GetClassInfoA(ModuleInstance(), className.c_str(), &existing)) return true;
  wndClass.lpfnWndProc = &CommonWindowProc;
  wndClass.lpszClassName = className.c_str();
  return RegisterClassA(&wndClass) != 0;
}

void CreateChildWindows(TWidget* widget) {
  TPtrList* children = widget->Children;
  for (int32_t i = 0; i < children->Count; ++i) {
    static_cast<TWidget*>(children->ItemAt(i))->CreateWindowHandle();
  }
}

HWND CreateOwnWindow(TWidget* widget, const std::string& className, HWND parentWindow) {
  const RECT& bounds = widget->Bounds;
  int x = bounds.left;
  int y = bounds.top;
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  if (width == 0) width = CW_USEDEFAULT;
  if (height == 0) height = CW_USEDEFAULT;
  if (!widget->IsChildControl && (widget->ExplicitPosition & (kLeftWasSet | kTopWasSet)) == 0) {
    x = CW_USEDEFAULT;
    y = CW_USEDEFAULT;
  }
  CreatingWidget = widget;
  widget->CreatingWindow = true;
  HWND window = CreateWindowExA(
      widget->ExStyle, className.c_str(), widget->StoredText.c_str(), widget->Style, x, y, width,
      height, parentWindow, reinterpret_cast<HMENU>(widget->MenuOrId), ModuleInstance(), nullptr);
  widget->CreatingWindow = false;
  if (!window) {
    if (CreatingWidget == widget) CreatingWidget = nullptr;
    // The handle bound at the first message belongs to a destroyed window.
    widget->Window = nullptr;
    return nullptr;
  }
  // The first message did not come through the toolkit's procedure.
  if (!WidgetOfWindow(window)) {
    CreatingWidget = nullptr;
    widget->Window = window;
    BindWindow(window, widget);
  }
  return window;
}

}  // namespace

bool TWidget::CreateWindowHandle() {
  HWND parentWindow = nullptr;
  if (Parent) {
    parentWindow = GetHandle(Parent);
    if (!parentWindow) return false;
  }
  if (Window) {
    CreateChildWindows(this);
    if (ShowPending) {
      SetVisible(this, true);
      ShowPending = false;
    }
    return true;
  }
  std::string className = std::string("obj_") + (KindName ? KindName : "");
  WNDCLASSA wndClass = PrepareClass(this);
  if ((Style & WS_CHILD) && !parentWindow) return false;
  if (!EnsureRegistered(wndClass, className)) return false;
  if (!CreateOwnWindow(this, className, parentWindow)) return false;
  if (!IsChildControl) {
    SendMessageA(Window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(GetIcon(this)));
  }
  if (AfterCreateProc) AfterCreateProc(this);
  ApplyFont(this);
  CreateChildWindows(this);
  return true;
}

HWND GetHandle(TWidget* widget) {
  if (widget->Window) return widget->Window;
  if (widget->VisibilitySet) {
    widget->CreateWindowHandle();
    return widget->Window;
  }
  // Created hidden; the next CreateWindowHandle shows it, once its children
  // have their windows.
  SetVisibleExplicit(widget, false);
  widget->CreateWindowHandle();
  widget->ShowPending = true;
  return widget->Window;
}
