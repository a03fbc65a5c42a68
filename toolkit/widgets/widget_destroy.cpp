// The end of a widget: children first, then its own resources and window,
// last its place in the parent.
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/widget.h"

namespace {

void ForgetFocusedChild(TWidget* widget) {
  TWidget* form = ParentForm(widget);
  if (form && form->FocusedChild == widget) form->FocusedChild = nullptr;
}

// Takes the widget out of its parent's children. A widget that outlives its
// parent (it was held while the parent was freed) is left without one.
void LeaveParent(TWidget* widget) {
  TWidget* parent = widget->Parent;
  if (!parent) return;
  ForgetFocusedChild(widget);
  if (parent->FocusedChild == widget) parent->FocusedChild = nullptr;
  parent->Children->Remove(widget);
  widget->Parent = nullptr;
}

void FreeChildren(TWidget* widget) {
  TPtrList* children = widget->Children;
  for (int32_t i = children->Count - 1; i >= 0; --i) {
    if (i >= children->Count) continue;
    auto* child = static_cast<TWidget*>(children->ItemAt(i));
    bool held = child->RefCount != 0;
    Free(child);
    if (held) LeaveParent(child);  // still alive: destroyed when released
  }
  children->Clear();
}

void TakeBackIcon(TWidget* widget) {
  if (widget->IsChildControl) return;
  auto icon = reinterpret_cast<HICON>(
      SendMessageA(widget->Window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(nullptr)));
  if (icon && !widget->BigIconShared) DestroyIcon(icon);
}

void DestroyOwnWindow(TWidget* widget) {
  if (widget->Accelerators) DestroyAcceleratorTable(widget->Accelerators);
  widget->Accelerators = nullptr;
  HWND window = widget->Window;
  if (IsWindow(window)) TakeBackIcon(widget);
  UnbindWindow(window);
  if (IsWindow(window)) {
    // Hand the window back to its class's own procedure, so that the
    // messages of its destruction reach it (a system control frees its data
    // there) and no other widget sees them.
    auto own = widget->ClassProc ? widget->ClassProc : &DefWindowProcA;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    if (!widget->WindowGone) DestroyWindow(window);
  }
  widget->Window = nullptr;
}

}  // namespace

void TWidget::Destroy() {
  // Marked before anything can dispatch to the widget: each child's window
  // notifies this one as it goes, and a free reached from there must not
  // start the teardown again.
  if (TearingDown) return;
  TearingDown = true;
  ForgetFocusedChild(this);
  ReleaseBaseResources();
  FreeChildren(this);

  Free(Font);
  Font = nullptr;
  if (Painter && WidgetModuleHooks.ReleasePainter) WidgetModuleHooks.ReleasePainter(this);
  if (ContextMenu && WidgetModuleHooks.ForgetContextMenu) WidgetModuleHooks.ForgetContextMenu(this);
  // Menus are made before the window and must go even if it never came.
  if (FirstMenu && WidgetModuleHooks.ReleaseMenus) WidgetModuleHooks.ReleaseMenus(this);
  if (Window) DestroyOwnWindow(this);

  if (MainWidget == this) MainWidget = nullptr;
  if (CreatingWidget == this) CreatingWidget = nullptr;
  LeaveParent(this);
  if (CtlBrush) DeleteObject(CtlBrush);
  CtlBrush = nullptr;
  if (UpdateRegion) DeleteObject(UpdateRegion);
  Free(HandlerChain);
  Free(Children);
  TBaseObject::Destroy();
}
