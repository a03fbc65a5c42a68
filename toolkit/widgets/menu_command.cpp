// What choosing a menu item does: marks move, the item's handler runs; and
// pop-up menus opened over a widget.
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/menu.h"

namespace {

constexpr uint16_t kFromMenu = 0;
constexpr uint16_t kFromAccelerator = 1;

TMenuNode* MenuOfCommand(TWidget* owner, int32_t id) {
  for (TMenuNode* menu = owner->FirstMenu; menu; menu = menu->NextMenu) {
    if (menu->FirstCommand <= id && id < menu->EndCommand) return menu;
  }
  return nullptr;
}

HMENU ContainingMenu(const TMenuNode* menu, int32_t index) {
  return static_cast<HMENU>(menu->ItemHandles->ItemAt(2 * index));
}

bool ReadItem(const TMenuNode* menu, int32_t index, MENUITEMINFOA& info) {
  info = MENUITEMINFOA{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
  return GetMenuItemInfoA(ContainingMenu(menu, index), menu->FirstCommand + index, FALSE, &info);
}

// A neighbour belongs to the radio group when it is a radio item of the
// same (sub-)menu.
bool IsRadioNeighbour(const TMenuNode* menu, int32_t index, HMENU container) {
  int32_t count = menu->ItemHandles->Count / 2;
  if (index < 0 || index >= count || ContainingMenu(menu, index) != container) return false;
  MENUITEMINFOA info;
  return ReadItem(menu, index, info) && (info.fType & MFT_RADIOCHECK);
}

void CheckInRadioGroup(const TMenuNode* menu, int32_t index) {
  HMENU container = ContainingMenu(menu, index);
  int32_t first = index;
  while (IsRadioNeighbour(menu, first - 1, container))
    --first;
  int32_t last = index;
  while (IsRadioNeighbour(menu, last + 1, container))
    ++last;
  CheckMenuRadioItem(container, menu->FirstCommand + first, menu->FirstCommand + last,
                     menu->FirstCommand + index, MF_BYCOMMAND);
}

void ToggleCheck(const TMenuNode* menu, int32_t index, MENUITEMINFOA info) {
  info.fMask = MIIM_STATE;
  info.fState ^= MFS_CHECKED;
  SetMenuItemInfoA(ContainingMenu(menu, index), menu->FirstCommand + index, FALSE, &info);
}

void MoveMarks(const TMenuNode* menu, int32_t index) {
  MENUITEMINFOA info;
  if (!ReadItem(menu, index, info)) return;
  if (info.fType & MFT_RADIOCHECK) {
    CheckInRadioGroup(menu, index);
  } else if (info.dwItemData & kMarkedItemBit) {
    ToggleCheck(menu, index, info);
  }
}

TMenuItemEvent ItemHandler(const TMenuNode* menu, int32_t index) {
  TPtrList* handlers = menu->ItemHandlers;
  if (!handlers || 2 * index + 1 >= handlers->Count) return {};
  TMenuItemEvent pair;
  pair.Routine = reinterpret_cast<TMenuItemEvent::TRoutine>(handlers->ItemAt(2 * index));
  pair.Bound = handlers->ItemAt(2 * index + 1);
  return pair;
}

void RunItem(TMenuNode* menu, int32_t index) {
  TMenuItemEvent handler = ItemHandler(menu, index);
  if (!handler.IsSet()) handler = menu->DefaultItemHandler;
  // The handler may free the menu's owner, and with it the menu.
  AddRef(menu);
  handler(menu, index);
  menu->ItemChosen = 1;
  ReleaseRef(menu);
}

}  // namespace

void SetItemHandlers(TMenuNode* menu, int32_t firstIndex, const TMenuItemEvent* handlers,
                     int32_t highIndex) {
  if (firstIndex < 0 || highIndex < 0) return;
  if (!menu->ItemHandlers) menu->ItemHandlers = new TPtrList;
  TPtrList* list = menu->ItemHandlers;
  int32_t end = 2 * (firstIndex + highIndex + 1);
  if (list->Count < end) list->SetCapacity(end);
  while (list->Count < end)
    list->Add(nullptr);
  for (int32_t i = 0; i <= highIndex; ++i) {
    int32_t slot = 2 * (firstIndex + i);
    list->Items[slot] = reinterpret_cast<void*>(handlers[i].Routine);
    list->Items[slot + 1] = handlers[i].Bound;
  }
}

bool MenuCommandHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != WM_COMMAND || message.LParam != 0) return false;
  uint16_t source = HIWORD(message.WParam);
  if (source != kFromMenu && source != kFromAccelerator) return false;
  int32_t id = LOWORD(message.WParam);
  TMenuNode* menu = MenuOfCommand(widget, id);
  if (!menu) return false;
  result = 0;
  int32_t index = id - menu->FirstCommand;
  MoveMarks(menu, index);
  RunItem(menu, index);
  return true;
}

namespace {

void ForgetContextMenu(TWidget* widget) {
  TMenuNode* menu = widget->ContextMenu;
  if (menu && menu->BoundWidgets) menu->BoundWidgets->Remove(widget);
  widget->ContextMenu = nullptr;
}

}  // namespace

void SetContextMenu(TWidget* widget, TMenuNode* menu) {
  WidgetModuleHooks.ForgetContextMenu = &ForgetContextMenu;
  ForgetContextMenu(widget);
  widget->ContextMenu = menu;
  if (menu) {
    if (!menu->BoundWidgets) menu->BoundWidgets = new TPtrList;
    menu->BoundWidgets->Add(widget);
  }
  AttachHandler(widget, &ContextMenuHandler);
}

bool ContextMenuHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != WM_CONTEXTMENU || !widget->ContextMenu) return false;
  // Screen coordinates, signed; the keyboard gives -1, -1.
  auto x = static_cast<int16_t>(LOWORD(message.LParam));
  auto y = static_cast<int16_t>(HIWORD(message.LParam));
  OpenPopupAt(widget->ContextMenu, x, y);
  result = 0;
  return true;
}

void OpenPopupAt(TMenuNode* menu, int32_t x, int32_t y) {
  if (!menu->Handle || !menu->Owner || !menu->Owner->Window) return;
  // The menu's own loop dispatches messages that might free the menu.
  AddRef(menu);
  TrackPopupMenu(menu->Handle, menu->PopupFlags, x, y, 0, menu->Owner->Window, nullptr);
  ReleaseRef(menu);
}
