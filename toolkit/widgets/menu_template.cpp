// Reading a menu template: levels, separators, check and radio marks, and
// the numbering of the items.
#include "toolkit/widgets/menu_template.h"

#include <cstring>
#include <string>

#include "toolkit/base/system_text.h"

namespace {

constexpr UINT kAppend = static_cast<UINT>(-1);
constexpr UINT kAllFields = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;

// One template string taken apart.
struct TItemText {
  bool Separator = false;
  const char* Text = "";
  UINT Type = MFT_STRING;
  UINT State = 0;
  ULONG_PTR Data = 0;
};

TItemText DecodeItem(const char* text) {
  TItemText item;
  if (std::strcmp(text, "-") == 0) {
    item.Separator = true;
    item.Type = MFT_SEPARATOR;
    item.State = MFS_DISABLED | MFS_GRAYED;
    return item;
  }
  // "-" alone was the separator, so a leading "-" here has text after it.
  if (text[0] == kCheckedMark || text[0] == kUncheckedMark) {
    if (text[0] == kCheckedMark) item.State = MFS_CHECKED;
    item.Data = kMarkedItemBit;
    ++text;
    if (text[0] == kRadioMark) {
      item.Type = MFT_RADIOCHECK;
      item.Data |= kRadioItemBit;
      ++text;
    }
  }
  item.Text = text;
  return item;
}

bool OpensSubMenu(const TMenuTemplate& source, int32_t index) {
  if (index > source.HighIndex) return false;
  const char* text = source.Items[index];
  return text && text[0] == '(';
}

void AppendEntry(HMENU handle, const TItemText& item, UINT id, HMENU subMenu) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = kAllFields;
  info.fType = item.Type;
  info.fState = item.State;
  info.wID = id;
  info.hSubMenu = subMenu;
  info.dwItemData = item.Data;
  std::string text = item.Separator ? std::string() : SystemText(item.Text);
  if (!item.Separator) {
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size() + 1);
  }
  InsertMenuItemA(handle, kAppend, TRUE, &info);
}

// Gives the next item its identifier and records where it lives.
int32_t NumberItem(TMenuNode* menu, HMENU handle, int32_t level) {
  TPtrList* handles = menu->ItemHandles;
  int32_t id = menu->FirstCommand + handles->Count / 2;
  if (id == NextMenuCommand) ++NextMenuCommand;
  handles->Add(handle);
  handles->Add(reinterpret_cast<void*>(static_cast<uintptr_t>(level) << 24));
  return id;
}

}  // namespace

int32_t InsertMenuLevel(TMenuNode* menu, HMENU handle, const TMenuTemplate& source, int32_t level,
                        int32_t start) {
  int32_t index = start;
  while (index <= source.HighIndex) {
    const char* text = source.Items[index];
    if (!text || !*text) return index;
    if (text[0] == ')') return index + 1;
    TItemText item = DecodeItem(text);
    ++index;
    if (item.Separator) {
      AppendEntry(handle, item, 0, nullptr);
      continue;
    }
    // Only items open sub-menus; a "(" after a separator is an item's text.
    HMENU subMenu = OpensSubMenu(source, index) ? CreatePopupMenu() : nullptr;
    AppendEntry(handle, item, static_cast<UINT>(NumberItem(menu, handle, level)), subMenu);
    if (subMenu) index = InsertMenuLevel(menu, subMenu, source, level + 1, index + 1);
  }
  return index;
}
