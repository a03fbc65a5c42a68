#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/base/base_object.h"
#include "toolkit/widgets/font_tool.h"
#include "toolkit/widgets/widget.h"

// TPainter::State bits.
constexpr uint8_t kPainterHasDC = 1;
constexpr uint8_t kPainterPen = 2;
constexpr uint8_t kPainterBrush = 4;
constexpr uint8_t kPainterFont = 8;
constexpr uint8_t kPainterTools = kPainterPen | kPainterBrush | kPainterFont;

// Where a painter gets its device context from: a routine and the object it
// is bound to.
struct TContextSource {
  HDC (*Routine)(void* bound, TPainter* painter) = nullptr;
  void* Bound = nullptr;
};

// A drawing surface bound to a widget: the widget's device context (the
// paint context while painting, otherwise one from GetDC) with the tools
// selected into it, given back when it is detached. Made by WidgetPainter,
// released with Free (the widget frees its painter itself).
class TPainter : public TBaseObject {
 public:
  TWidget* Owner = nullptr;
  HDC DC = nullptr;
  POINT PenPoint = {0, 0};  // re-applied whenever a context is attached
  // Copies of the owner's tools; only the font is ever filled.
  TDrawTool* Brush = nullptr;
  TDrawTool* Font = nullptr;
  TDrawTool* Pen = nullptr;
  uint8_t State = 0;
  uint32_t CopyMode = SRCCOPY;
  THandlerPair<TPainter*> ChangeHandler;
  TContextSource GetContext;

 protected:
  void Destroy() override;
};

// The widget's painter, made on first use with a copy of the widget's font.
TPainter* WidgetPainter(TWidget* widget);
// A widget painter's context: the paint context while one is in progress,
// else the widget's own fixed context, else the attached one, else GetDC.
HDC WidgetPainterDC(TWidget* widget, TPainter* painter);
// Asks the painter's source for a context and attaches it.
HDC PainterDC(TPainter* painter);
// Attaches `dc` (0 detaches); a context no longer used is given back unless
// it is the owner's paint context.
void SetPainterDC(TPainter* painter, HDC dc);
// Makes sure the `required` State bits hold; the context, or 0 without one.
HDC EnsureSelected(TPainter* painter, uint8_t required);
void SetPenPoint(TPainter* painter, int32_t x, int32_t y);
// Selects the stock font, brush and pen back into the context.
void DeselectTools(TPainter* painter);
