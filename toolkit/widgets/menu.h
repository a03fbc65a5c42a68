#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/base/base_object.h"
#include "toolkit/base/handler_pair.h"
#include "toolkit/base/ptr_list.h"
#include "toolkit/widgets/widget.h"

// An item's event: the routine gets the bound object, the menu and the
// item's index (0, 1, 2 ... in template order, separators not counted).
using TMenuItemEvent = THandlerPair<TMenuNode*, int32_t>;

// Item data bits: the item was written with a check mark; it is a radio item.
constexpr ULONG_PTR kMarkedItemBit = 0x40000000;
constexpr ULONG_PTR kRadioItemBit = 0x80000000;

// Marks in a template's item strings.
constexpr char kCheckedMark = '+';
constexpr char kUncheckedMark = '-';
constexpr char kRadioMark = '!';

// One menu owned by a widget: a form's menu bar (its first menu) or a pop-up
// menu. Made by MakeMenu; the owner frees all its menus when it goes.
class TMenuNode : public TBaseObject {
 public:
  HMENU Handle = nullptr;
  TWidget* Owner = nullptr;
  // Two entries per item: the (sub-)menu holding it, its level << 24.
  TPtrList* ItemHandles = nullptr;
  int32_t FirstCommand = 0;  // identifier of item 0
  int32_t EndCommand = 0;    // one past the last item's identifier
  TMenuItemEvent DefaultItemHandler;
  // Two entries per item: routine and bound object; made on first use.
  TPtrList* ItemHandlers = nullptr;
  uint8_t ItemChosen = 0;  // 1 once an item's handler has run
  TMenuNode* NextMenu = nullptr;
  uint32_t PopupFlags = 0;  // TrackPopupMenu flags
  // TWidget*: the widgets whose context menu this is; made on first use.
  TPtrList* BoundWidgets = nullptr;

 protected:
  void Destroy() override;
};

// Identifier of the next item inserted by a menu made with first command 0.
extern int32_t NextMenuCommand;

// Builds a menu from `menuTemplate[0..highIndex]`:
//   ""/null/end   ends the template
//   "-"           separator (no index, no identifier)
//   "("  ")"      after an item: the following items form its sub-menu
//   "+Text"       checked item; "-Text" unchecked; "+!Text"/"-!Text" radio
// A first command of 0 or less takes the numbers from NextMenuCommand. The
// first menu of a form becomes its menu bar; every further menu is a pop-up.
TMenuNode* MakeMenu(TWidget* owner, int32_t firstCommand, const char* const* menuTemplate,
                    int32_t highIndex, TMenuItemEvent defaultHandler);

// Gives items firstIndex, firstIndex + 1 ... the pairs handlers[0..highIndex].
void SetItemHandlers(TMenuNode* menu, int32_t firstIndex, const TMenuItemEvent* handlers,
                     int32_t highIndex);

// The owner's WM_COMMAND handler: moves radio and check marks and runs the
// chosen item's handler.
bool MenuCommandHandler(TWidget* widget, TMessage& message, LRESULT& result);

// Opens `menu` on WM_CONTEXTMENU over the widget; its commands go to the
// menu's owner.
void SetContextMenu(TWidget* widget, TMenuNode* menu);
bool ContextMenuHandler(TWidget* widget, TMessage& message, LRESULT& result);

// Shows the menu as a pop-up at a screen point; returns when it closes.
void OpenPopupAt(TMenuNode* menu, int32_t x, int32_t y);
