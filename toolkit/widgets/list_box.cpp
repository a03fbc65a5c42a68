// The list box: a system LISTBOX control whose items the item operations
// reach through the messages of its kind table.
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"

namespace {

// WS_CHILD, WS_VISIBLE, WS_BORDER, WS_VSCROLL, WS_TABSTOP, LBS_HASSTRINGS,
// LBS_NOTIFY.
constexpr uint32_t kListBoxStyle = 0x50A10041;

void ResetList(TWidget* list) {
  SendToWidget(list, LB_RESETCONTENT, 0, 0);
}

TKindTable ListKindTable() {
  TKindTable table;
  table.ClearRoutine = &ResetList;
  table.NotifyCodes[kNotifyClick] = LBN_DBLCLK;
  table.NotifyCodes[kNotifyFocusIn] = LBN_SETFOCUS;
  table.NotifyCodes[kNotifyFocusOut] = LBN_KILLFOCUS;
  table.NotifyCodes[kNotifySelect] = LBN_SELCHANGE;
  table.CountMessage = LB_GETCOUNT;
  table.TextLengthMessage = LB_GETTEXTLEN;
  table.TextMessage = LB_GETTEXT;
  table.AddMessage = LB_ADDSTRING;
  table.DeleteMessage = LB_DELETESTRING;
  table.InsertMessage = LB_INSERTSTRING;
  table.SelectedStateMessage = LB_GETSEL;
  table.CurrentIndexMessage = LB_GETCURSEL;
  table.SelectStateMessage = LB_SETSEL;
  table.SetCurrentMessage = LB_SETCURSEL;
  table.DirectoryMessage = LB_DIR;
  return table;
}

}  // namespace

TWidget* MakeListBox(TWidget* parent, ListOptions options) {
  uint32_t style = ListOptionsStyle(options) | kListBoxStyle;
  TWidget* list = MakeControl(parent, "LISTBOX", style, ListKindTable(), true);
  list->Bounds.right += 100;
  list->Bounds.bottom += 136;
  list->Color = clWindow;
  return list;
}
