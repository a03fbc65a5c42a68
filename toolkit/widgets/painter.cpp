// Painters: a widget's device context with the tools selected into it, given
// back when it is detached, so that no context from GetDC is ever kept.
#include "toolkit/widgets/painter.h"

#include "toolkit/widgets/dispatch.h"

namespace {

// Fetched once per process, never freed.
struct TStockObjects {
  HGDIOBJ Font = GetStockObject(SYSTEM_FONT);
  HGDIOBJ Brush = GetStockObject(NULL_BRUSH);
  HGDIOBJ Pen = GetStockObject(BLACK_PEN);
};

const TStockObjects& StockObjects() {
  static const TStockObjects stock;
  return stock;
}

HDC WidgetContextSource(void* widget, TPainter* painter) {
  return WidgetPainterDC(static_cast<TWidget*>(widget), painter);
}

// A tool that changes is taken out of the context; it is selected again on
// the next EnsureSelected.
void ToolChanged(TPainter* painter, TDrawTool*) {
  DeselectTools(painter);
}

void WatchTool(TPainter* painter, TDrawTool* tool) {
  if (tool) tool->ChangeHandler = TToolChangeEvent::Bind<&ToolChanged>(painter);
}

HGDIOBJ ToolHandle(TDrawTool* tool) {
  return tool->HandleRoutine ? tool->HandleRoutine(tool) : tool->Handle;
}

void ReleaseWidgetPainter(TWidget* widget) {
  TPainter* painter = widget->Painter;
  widget->Painter = nullptr;
  Free(painter);
}

void DetachWidgetPainter(TWidget* widget) {
  if (widget->Painter) SetPainterDC(widget->Painter, nullptr);
}

void InstallWidgetHooks() {
  WidgetModuleHooks.ReleasePainter = &ReleaseWidgetPainter;
  WidgetModuleHooks.DetachPainter = &DetachWidgetPainter;
}

void GiveBack(TPainter* painter, HDC dc) {
  TWidget* owner = painter->Owner;
  if (!owner) {
    DeleteDC(dc);
  } else if (dc != owner->PaintContext) {
    ReleaseDC(owner->Window, dc);
  }
}

void SelectFont(TPainter* painter, HDC dc) {
  if (TDrawTool* font = painter->Font) {
    SelectObject(dc, FontHandle(font));
    SetTextColor(dc, ResolveColor(font->Color));
  } else if (painter->Owner) {
    SetTextColor(dc, ResolveColor(painter->Owner->InkColor));
  }
}

void SelectBrush(TPainter* painter, HDC dc) {
  if (TDrawTool* brush = painter->Brush) {
    SelectObject(dc, ToolHandle(brush));
  } else if (painter->Owner) {
    SetBkColor(dc, ResolveColor(painter->Owner->Color));
    SetBkMode(dc, OPAQUE);
  }
}

}  // namespace

void TPainter::Destroy() {
  SetPainterDC(this, nullptr);
  Free(Pen);
  Free(Brush);
  Free(Font);
  Pen = Brush = Font = nullptr;
  TBaseObject::Destroy();
}

TPainter* WidgetPainter(TWidget* widget) {
  if (widget->Painter) return widget->Painter;
  InstallWidgetHooks();
  auto* painter = new TPainter();
  painter->Owner = widget;
  painter->GetContext = {&WidgetContextSource, widget};
  if (widget->Font) painter->Font = CloneTool(nullptr, widget->Font);
  widget->Painter = painter;
  return painter;
}

HDC WidgetPainterDC(TWidget* widget, TPainter* painter) {
  if (HDC paint = widget->PaintContext) {
    SetPainterDC(painter, paint);
    return paint;
  }
  if (widget->OwnDC) return widget->OwnDC;
  if (painter->DC) return painter->DC;
  HWND window = GetHandle(widget);
  return window ? GetDC(window) : nullptr;
}

HDC PainterDC(TPainter* painter) {
  if (!painter->GetContext.Routine) return painter->DC;
  HDC dc = painter->GetContext.Routine(painter->GetContext.Bound, painter);
  SetPainterDC(painter, dc);
  return dc;
}

void SetPainterDC(TPainter* painter, HDC dc) {
  if (dc == painter->DC) return;
  if (HDC old = painter->DC) {
    DeselectTools(painter);
    GiveBack(painter, old);
    painter->DC = nullptr;
    painter->State &= static_cast<uint8_t>(~kPainterHasDC);
  }
  if (!dc) return;
  painter->State |= kPainterHasDC;
  painter->DC = dc;
  SetPenPoint(painter, painter->PenPoint.x, painter->PenPoint.y);
}

void DeselectTools(TPainter* painter) {
  if (!(painter->State & kPainterTools)) return;
  if (HDC dc = painter->DC) {
    const TStockObjects& stock = StockObjects();
    SelectObject(dc, stock.Font);
    SelectObject(dc, stock.Brush);
    SelectObject(dc, stock.Pen);
  }
  painter->State &= static_cast<uint8_t>(~kPainterTools);
}

HDC EnsureSelected(TPainter* painter, uint8_t required) {
  HDC dc = (required & kPainterHasDC) ? PainterDC(painter) : painter->DC;
  if (!dc) return nullptr;
  uint8_t missing = required & static_cast<uint8_t>(~painter->State);
  if (missing & kPainterFont) {
    WatchTool(painter, painter->Font);
    SelectFont(painter, dc);
  }
  if (missing & kPainterBrush) {
    WatchTool(painter, painter->Brush);
    SelectBrush(painter, dc);
  }
  if ((missing & kPainterPen) && painter->Pen) {
    WatchTool(painter, painter->Pen);
    SelectObject(dc, ToolHandle(painter->Pen));
  }
  painter->State |= required;
  return dc;
}

void SetPenPoint(TPainter* painter, int32_t x, int32_t y) {
  painter->PenPoint = {x, y};
  MoveToEx(EnsureSelected(painter, kPainterHasDC), x, y, nullptr);
}
