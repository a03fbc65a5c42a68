// The combo box: a system COMBOBOX control with the list box's item
// operations, a drop-down list sized to its items, its own colours for its
// inner windows, and the toolkit's procedure on its inner windows.
#include <algorithm>

#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"

namespace {

// WS_CHILD, WS_VISIBLE, WS_VSCROLL, WS_TABSTOP, CBS_HASSTRINGS, CBS_DROPDOWN.
constexpr uint32_t kComboBoxStyle = 0x50210202;
constexpr int32_t kMostDropDownRows = 8;
// Where an inner window's own procedure is kept: an editable combo box has
// an edit field, a simple one a list as well, each with its own procedure.
constexpr const char* kInnerProcProperty = "INNERPROC_";

void ResetCombo(TWidget* combo) {
  SendToWidget(combo, CB_RESETCONTENT, 0, 0);
}

TKindTable ComboKindTable() {
  TKindTable table;
  table.ClearRoutine = &ResetCombo;
  table.NotifyCodes[kNotifyClick] = CBN_DBLCLK;
  table.NotifyCodes[kNotifyFocusIn] = CBN_SETFOCUS;
  table.NotifyCodes[kNotifyFocusOut] = CBN_KILLFOCUS;
  table.NotifyCodes[kNotifyChange] = CBN_EDITCHANGE;
  table.NotifyCodes[kNotifySelect] = kPostedSelectCode;
  table.CountMessage = CB_GETCOUNT;
  table.TextLengthMessage = CB_GETLBTEXTLEN;
  table.TextMessage = CB_GETLBTEXT;
  table.AddMessage = CB_ADDSTRING;
  table.DeleteMessage = CB_DELETESTRING;
  table.InsertMessage = CB_INSERTSTRING;
  table.SelectedStateMessage = CB_GETCURSEL;
  table.CurrentIndexMessage = CB_GETCURSEL;
  table.SetCurrentMessage = CB_SETCURSEL;
  table.DirectoryMessage = CB_DIR;
  return table;
}

// Messages of the program that change which item is current, or its index,
// without a notification.
bool ChangesCurrentItem(UINT message) {
  switch (message) {
    case CB_ADDSTRING:
    case CB_DELETESTRING:
    case CB_DIR:
    case CB_INSERTSTRING:
    case CB_RESETCONTENT:
    case CB_SELECTSTRING:
    case CB_SETCURSEL:
      return true;
    default:
      return false;
  }
}

// The key messages the toolkit filters (WM_KEYFIRST up to WM_UNICHAR, not
// including it).
bool IsKeyMessage(UINT message) {
  return message >= WM_KEYFIRST && message <= 0x0108;
}

}  // namespace

TWidget* MakeComboBox(TWidget* parent, ComboOptions options) {
  uint32_t style = ComboOptionsStyle(options) | kComboBoxStyle;
  TWidget* combo = MakeControl(parent, "COMBOBOX", style, ComboKindTable(), true);
  combo->ClassStyle |= CS_DBLCLKS;
  combo->Bounds.right += 36;
  combo->Bounds.bottom -= 42;
  combo->AfterCreateProc = &SubclassComboInnerWindows;
  combo->DropDownEvent = &SizeComboDropDown;
  AttachHandler(combo, &ComboColorHandler);
  AttachHandler(combo, &ComboSelectionHandler);
  return combo;
}

// A closed combo box's window is as high as its selection field; the height
// it is given sets how far its list drops, here one field height per row
// and one for the field itself.
void SizeComboDropDown(TWidget* combo) {
  int32_t rows = std::clamp(ItemCount(combo), 1, kMostDropDownRows);
  int32_t fieldHeight = GetHeight(combo);
  SetWindowPos(combo->Window, nullptr, 0, 0, GetWidth(combo), fieldHeight * (rows + 1) + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
  SetWindowPos(
      combo->Window, nullptr, 0, 0, 0, 0,
      SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
  combo->DropDownHandler(combo);
}

bool ComboColorHandler(TWidget* combo, TMessage& message, LRESULT& result) {
  UINT id = message.Message;
  if (id < WM_CTLCOLORMSGBOX || id > WM_CTLCOLORSTATIC) return false;
  result = SendMessageA(combo->Window, id + TKM_REFLECT_BASE, message.WParam, message.LParam);
  return true;
}

// The system notifies a selection change also when the user picks the item
// already shown (a click on it, Down on the last item): the select event
// runs only for an item other than the one it last reported or the program
// last made current.
bool ComboSelectionHandler(TWidget* combo, TMessage& message, LRESULT& result) {
  UINT id = message.Message;
  if (id == TKM_COMMAND && HIWORD(message.WParam) == kPostedSelectCode) {
    int32_t shown = CurrentIndex(combo);
    if (shown == combo->AnnouncedIndex) {
      result = 0;
      return true;
    }
    combo->AnnouncedIndex = shown;
    return false;
  }
  if (!ChangesCurrentItem(id)) return false;
  result = DefaultMessageProc(combo, message);
  TMessage query = {combo->Window, CB_GETCURSEL, 0, 0};
  combo->AnnouncedIndex = static_cast<int32_t>(DefaultMessageProc(combo, query));
  return true;
}

void SubclassComboInnerWindows(TWidget* combo) {
  for (HWND inner = GetWindow(combo->Window, GW_CHILD); inner;
       inner = GetWindow(inner, GW_HWNDNEXT)) {
    auto own = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboInnerWindowProc)));
    SetPropA(inner, kInnerProcProperty, reinterpret_cast<HANDLE>(own));
    if (!combo->SavedInnerProc) combo->SavedInnerProc = own;
  }
}

// Keys typed into an inner window are offered to the combo box's handlers
// first; the combo box then also accepts the keys its inner window passes on
// to it while holding the focus.
LRESULT CALLBACK ComboInnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto own = reinterpret_cast<WNDPROC>(GetPropA(window, kInnerProcProperty));
  if (!own) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropA(window, kInnerProcProperty);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    return CallWindowProcA(own, window, message, wParam, lParam);
  }
  TWidget* combo = WidgetOfWindow(GetParent(window));
  if (!combo || !IsKeyMessage(message))
    return CallWindowProcA(own, window, message, wParam, lParam);
  combo->InnerWindow = window;
  TMessage record = {window, message, wParam, lParam};
  LRESULT result = 0;
  if (combo->KindHandler(combo, record, result)) return result;
  return CallWindowProcA(own, window, record.Message, record.WParam, record.LParam);
}
