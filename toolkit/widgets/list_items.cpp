// Item operations shared by list boxes and combo boxes: each is one or two
// messages of the kind's table to the control's window, which holds the
// items.
#include <vector>

#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"

namespace {

LPARAM TextParam(const char* text) {
  return reinterpret_cast<LPARAM>(text ? text : "");
}

int32_t Send(TWidget* widget, uint16_t message, WPARAM wParam, LPARAM lParam) {
  return static_cast<int32_t>(SendToWidget(widget, message, wParam, lParam));
}

// Kinds without an add message append to their text.
int32_t AppendText(TWidget* widget, const char* text) {
  std::string joined = GetText(widget) + (text ? text : "");
  SetText(widget, joined.c_str());
  return 0;
}

}  // namespace

int32_t ItemCount(TWidget* widget) {
  uint16_t message = widget->KindTable.CountMessage;
  return message ? Send(widget, message, 0, 0) : 0;
}

std::string ItemText(TWidget* widget, int32_t index) {
  const TKindTable& kind = widget->KindTable;
  if (!kind.TextLengthMessage || !kind.TextMessage || !widget->Window) return {};
  auto length = static_cast<int32_t>(
      SendMessageA(widget->Window, kind.TextLengthMessage, static_cast<WPARAM>(index), 0));
  if (length < 0) return {};  // LB_ERR / CB_ERR: no such item
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  Send(widget, kind.TextMessage, static_cast<WPARAM>(index),
       reinterpret_cast<LPARAM>(buffer.data()));
  buffer.back() = '\0';
  return buffer.data();
}

void SetItemText(TWidget* widget, int32_t index, const char* text) {
  const TKindTable& kind = widget->KindTable;
  if (!kind.DeleteMessage || !kind.InsertMessage) return;
  DeleteItem(widget, index);
  InsertItem(widget, index, text);
}

int32_t AddItem(TWidget* widget, const char* text) {
  const TKindTable& kind = widget->KindTable;
  if (!kind.AddMessage) {
    return kind.AddRoutine ? kind.AddRoutine(widget, text) : AppendText(widget, text);
  }
  int32_t index = Send(widget, kind.AddMessage, 0, TextParam(text));
  if (ItemCount(widget) == 1) SelectItem(widget, 0, true);
  return index;
}

int32_t InsertItem(TWidget* widget, int32_t index, const char* text) {
  uint16_t message = widget->KindTable.InsertMessage;
  if (!message) return -1;
  return Send(widget, message, static_cast<WPARAM>(index), TextParam(text));
}

void DeleteItem(TWidget* widget, int32_t index) {
  uint16_t message = widget->KindTable.DeleteMessage;
  if (message) Send(widget, message, static_cast<WPARAM>(index), 0);
}

void ClearItems(TWidget* widget) {
  if (widget->KindTable.ClearRoutine) widget->KindTable.ClearRoutine(widget);
}

int32_t CurrentIndex(TWidget* widget) {
  uint16_t message = widget->KindTable.CurrentIndexMessage;
  return message ? Send(widget, message, 0, 0) : -1;
}

void SetCurrentIndex(TWidget* widget, int32_t index) {
  uint16_t message = widget->KindTable.SetCurrentMessage;
  if (message) {
    Send(widget, message, static_cast<WPARAM>(index), 0);
  } else {
    SelectItem(widget, index, true);
  }
}

bool IsItemSelected(TWidget* widget, int32_t index) {
  const TKindTable& kind = widget->KindTable;
  if (!kind.SelectedStateMessage) return false;
  int32_t answer = Send(widget, kind.SelectedStateMessage, static_cast<WPARAM>(index), 0);
  // A combo box answers its current index rather than a state.
  if (kind.SelectedStateMessage == kind.CurrentIndexMessage) return index >= 0 && answer == index;
  return answer > 0;
}

void SelectItem(TWidget* widget, int32_t index, bool selected) {
  const TKindTable& kind = widget->KindTable;
  if (kind.SelectStateMessage) {
    Send(widget, kind.SelectStateMessage, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
  } else if (kind.SetCurrentMessage) {
    Send(widget, kind.SetCurrentMessage, static_cast<WPARAM>(index), 0);
  }
}

int32_t AddDirectoryListing(TWidget* widget, const char* mask, uint32_t attributes) {
  uint32_t message = widget->KindTable.DirectoryMessage;
  if (!message) return LB_ERR;
  return Send(widget, static_cast<uint16_t>(message), attributes, TextParam(mask));
}
