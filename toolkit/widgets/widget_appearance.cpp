// How a widget looks: background and text colours, font, text alignment,
// cursor and icon.
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"
#include "toolkit/widgets/widget.h"

namespace {

void WidgetFontChanged(TWidget* widget, TDrawTool* font) {
  widget->InkColor = font->Color;
  ApplyFont(widget);
  Invalidate(widget);
}

bool IsNoIcon(HICON icon) {
  return reinterpret_cast<intptr_t>(icon) == -1;
}

// Text alignment values are 0..2; anything else selects no style word.
uint32_t AlignmentEntry(const auto& entries, uint8_t align) {
  uint8_t index = align & 3;
  return index < 3 ? entries[index] : 0;
}

}  // namespace

TToolChangeEvent WidgetFontEvent(TWidget* widget) {
  return TToolChangeEvent::Bind<&WidgetFontChanged>(widget);
}

void SetColor(TWidget* widget, TColor color) {
  if (uint16_t message = widget->KindTable.BackgroundColorMessage) {
    SendToWidget(widget, message, 0, static_cast<LPARAM>(ResolveColor(color)));
  }
  if (color == widget->Color) return;
  widget->Color = color;
  if (widget->CtlBrush) DeleteObject(widget->CtlBrush);
  widget->CtlBrush = nullptr;
  Invalidate(widget);
}

TDrawTool* GetFont(TWidget* widget) {
  if (!widget->Font) {
    widget->Font = MakeFontTool();
    widget->Font->Color = widget->InkColor;
    widget->Font->ChangeHandler = WidgetFontEvent(widget);
  }
  return widget->Font;
}

void ApplyFont(TWidget* widget) {
  if (!widget->Font) return;
  if (widget->Window) {
    widget->InkColor = widget->Font->Color;
    SendMessageA(widget->Window, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(widget->Font)),
                 0xFFFF);
  }
  // The painter holds a copy of the old font; it is rebuilt on next use.
  if (widget->Painter && WidgetModuleHooks.ReleasePainter) {
    WidgetModuleHooks.ReleasePainter(widget);
  }
}

void SetTextHAlign(TWidget* widget, uint8_t align) {
  const TKindTable& kind = widget->KindTable;
  widget->TextHAlign = align;
  uint32_t style = widget->Style;
  for (uint16_t word : kind.HAlignStyles)
    style &= ~static_cast<uint32_t>(word);
  style |= AlignmentEntry(kind.HAlignStyles, align);
  style &= ~static_cast<uint32_t>(kind.HAlignClearMask);
  SetStyle(widget, style);
}

void SetTextVAlign(TWidget* widget, uint8_t align) {
  const TKindTable& kind = widget->KindTable;
  widget->TextVAlign = align;
  // Every byte of the kind is cleared, the centre one included, so that a
  // later top or bottom alignment undoes an earlier centring.
  uint32_t mask = kind.VAlignBytes[0] | kind.VAlignBytes[1] | kind.VAlignBytes[2];
  uint32_t style = widget->Style & ~(mask << 8);
  style |= AlignmentEntry(kind.VAlignBytes, align) << 8;
  SetStyle(widget, style);
}

void SetCursorShape(TWidget* widget, HCURSOR cursor) {
  if (cursor == widget->MouseCursor) return;
  widget->MouseCursor = cursor;
  if (!widget->Window) return;
  POINT pointer;
  if (!GetCursorPos(&pointer)) return;
  ScreenToClient(widget->Window, &pointer);
  RECT area = ClientArea(widget);
  if (pointer.x >= area.left && pointer.x <= area.right && pointer.y >= area.top &&
      pointer.y <= area.bottom) {
    SetCursor(cursor);
  }
}

HICON GetIcon(TWidget* widget) {
  if (IsNoIcon(widget->BigIcon)) return nullptr;
  if (widget->BigIcon) return widget->BigIcon;
  if (!MainWidget) return nullptr;
  HICON icon;
  if (MainWidget == widget) {
    // LoadIcon hands out the module's shared icon: never destroyed.
    icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    widget->BigIconShared = true;
  } else {
    HICON mainIcon = GetIcon(MainWidget);
    icon = mainIcon ? static_cast<HICON>(CopyImage(mainIcon, IMAGE_ICON, 0, 0, 0)) : nullptr;
  }
  widget->BigIcon = icon;
  return icon;
}
