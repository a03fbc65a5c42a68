// Menus of a widget: building one from a template, the owner's chain of
// menus, the form's menu bar, and the end of menus.
#include "toolkit/widgets/menu.h"

#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/menu_template.h"

int32_t NextMenuCommand = 0x1000;

namespace {

bool IsMenuBarOf(const TMenuNode* menu, const TWidget* owner) {
  // A control keeps its identifier in the same field: only a form has a bar.
  return menu->Handle && !owner->IsChildControl &&
         owner->MenuOrId == reinterpret_cast<uintptr_t>(menu->Handle);
}

void UnlinkFromChain(TMenuNode* menu, TWidget* owner) {
  if (owner->FirstMenu == menu) {
    owner->FirstMenu = menu->NextMenu;
    return;
  }
  for (TMenuNode* before = owner->FirstMenu; before; before = before->NextMenu) {
    if (before->NextMenu == menu) {
      before->NextMenu = menu->NextMenu;
      return;
    }
  }
}

// Takes the menu away from its owner: off the window, out of the chain.
void LeaveOwner(TMenuNode* menu) {
  TWidget* owner = menu->Owner;
  if (!owner) return;
  if (IsMenuBarOf(menu, owner)) {
    if (owner->Window) SetMenu(owner->Window, nullptr);
    owner->MenuOrId = 0;
  }
  UnlinkFromChain(menu, owner);
  if (owner->ContextMenu == menu) owner->ContextMenu = nullptr;
  menu->Owner = nullptr;
  menu->NextMenu = nullptr;
}

// The widget's end: every menu it owns goes with it.
void ReleaseWidgetMenus(TWidget* owner) {
  while (TMenuNode* menu = owner->FirstMenu) {
    LeaveOwner(menu);
    Free(menu);
  }
}

void AppendToChain(TWidget* owner, TMenuNode* menu) {
  TMenuNode* last = owner->FirstMenu;
  while (last->NextMenu)
    last = last->NextMenu;
  last->NextMenu = menu;
}

bool HasItems(const char* const* menuTemplate, int32_t highIndex) {
  return menuTemplate && highIndex >= 0 && menuTemplate[0];
}

}  // namespace

void TMenuNode::Destroy() {
  LeaveOwner(this);
  // The widgets it opens over may be others than its owner.
  for (int32_t i = 0; BoundWidgets && i < BoundWidgets->Count; ++i) {
    auto* widget = static_cast<TWidget*>(BoundWidgets->ItemAt(i));
    if (widget->ContextMenu == this) widget->ContextMenu = nullptr;
  }
  Free(BoundWidgets);
  BoundWidgets = nullptr;
  // Sub-menus go with their menu.
  if (Handle) DestroyMenu(Handle);
  Handle = nullptr;
  Free(ItemHandles);
  ItemHandles = nullptr;
  Free(ItemHandlers);
  ItemHandlers = nullptr;
  TBaseObject::Destroy();
}

TMenuNode* MakeMenu(TWidget* owner, int32_t firstCommand, const char* const* menuTemplate,
                    int32_t highIndex, TMenuItemEvent defaultHandler) {
  WidgetModuleHooks.ReleaseMenus = &ReleaseWidgetMenus;
  auto* menu = new TMenuNode;
  menu->FirstCommand = firstCommand > 0 ? firstCommand : NextMenuCommand;
  menu->ItemHandles = new TPtrList;
  menu->DefaultItemHandler = defaultHandler;
  menu->Owner = owner;

  bool isFirst = owner->FirstMenu == nullptr;
  bool isMenuBar = isFirst && !owner->IsChildControl;
  if (HasItems(menuTemplate, highIndex)) {
    menu->Handle = isMenuBar ? CreateMenu() : CreatePopupMenu();
    InsertMenuLevel(menu, menu->Handle, TMenuTemplate{menuTemplate, highIndex}, 0, 0);
  }
  menu->EndCommand = menu->FirstCommand + menu->ItemHandles->Count / 2;

  if (!isFirst) {
    AppendToChain(owner, menu);
    return menu;
  }
  owner->FirstMenu = menu;
  if (isMenuBar) SetMenuHandle(owner, menu->Handle);
  AttachHandler(owner, &MenuCommandHandler);
  return menu;
}
