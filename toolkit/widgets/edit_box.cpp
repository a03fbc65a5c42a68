// The edit box: a system EDIT control, read and written through its text.
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"

namespace {

// WS_CHILD, WS_VISIBLE, WS_BORDER, WS_TABSTOP.
constexpr uint32_t kEditBoxStyle = 0x50810000;
constexpr uint32_t kScrollBars = WS_HSCROLL | WS_VSCROLL;

TKindTable EditKindTable() {
  TKindTable table = PlainKindTable();
  table.NotifyCodes[kNotifyFocusIn] = EN_SETFOCUS;
  table.NotifyCodes[kNotifyFocusOut] = EN_KILLFOCUS;
  table.NotifyCodes[kNotifyChange] = EN_CHANGE;
  table.HAlignStyles[kTextLeft] = ES_LEFT;
  table.HAlignStyles[kTextRight] = ES_RIGHT;
  table.HAlignStyles[kTextCenter] = ES_CENTER;
  return table;
}

}  // namespace

TWidget* MakeEditBox(TWidget* parent, EditOptions options) {
  bool multiLine = (options & kEditMultiLine) != 0;
  uint32_t style = EditOptionsStyle(options);
  // A single line has no use for scroll bars; it keeps the auto-scrolling.
  if (!multiLine) style &= ~kScrollBars;
  TWidget* edit = MakeControl(parent, "EDIT", style | kEditBoxStyle, EditKindTable(), true);
  edit->MouseCursor = LoadCursorA(nullptr, IDC_IBEAM);
  RECT& bounds = edit->Bounds;
  bounds.right = bounds.left + (multiLine ? 200 : 100);
  bounds.bottom = bounds.top + (multiLine ? 200 : 22);
  return edit;
}
