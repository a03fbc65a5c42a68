// Painters with real windows: which device context a paint event draws into,
// that every context from GetDC is given back, and the tools selected.
#include "toolkit/widgets/painter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "gui_fixture.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/base/win32_handles.h"

namespace {

using TPainterTest = GuiTest;

// What the paint event saw on each call, and the colour it fills with.
struct TPaintRecord {
  COLORREF Fill = RGB(255, 0, 0);
  std::vector<HDC> Given;
  std::vector<HDC> Drawn;

  void Restart(COLORREF fill) {
    Fill = fill;
    Given.clear();
    Drawn.clear();
  }
};

void FillThroughPainter(TPaintRecord* record, TWidget* box, HDC given) {
  HDC dc = PainterDC(WidgetPainter(box));
  record->Given.push_back(given);
  record->Drawn.push_back(dc);
  RECT area = {0, 0, GetWidth(box), GetHeight(box)};
  HBRUSH brush = CreateSolidBrush(record->Fill);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

struct TPaintedBox {
  TWidget* Form;
  TWidget* Box;
};

TPaintedBox MakeShownPaintBox(TPaintRecord* record) {
  TWidget* form = MakeForm(nullptr, "Paint");
  PlaceAt(form, 60, 60);
  SizeTo(form, 300, 240);
  TWidget* box = SizeTo(MakePaintBox(form), 120, 90);
  SetPaintEvent(box, TPaintEvent::Bind<&FillThroughPainter>(record));
  Show(form);
  form->CreateWindowHandle();
  UpdateNow(form);
  return {form, box};
}

COLORREF PixelOf(TWidget* widget, int x, int y) {
  TWindowDc dc(widget->Window);
  return GetPixel(dc.Get(), x, y);
}

void RepaintNow(TWidget* widget) {
  InvalidateRect(widget->Window, nullptr, TRUE);
  UpdateWindow(widget->Window);
}

// ReleaseDC answers 0 for a context that is no longer in use: the painter
// gave it back. Had it kept it, this call would release it and answer 1.
bool WasGivenBack(TWidget* widget, HDC dc) {
  return ReleaseDC(widget->Window, dc) == 0;
}

TEST_F(TPainterTest, DuringAPaintThePainterDrawsIntoThePaintContext) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TWidget* box = shown.Box;
  record.Restart(RGB(0, 0, 255));

  RepaintNow(box);
  ASSERT_EQ(record.Drawn.size(), 1u);
  EXPECT_NE(record.Given[0], nullptr);
  EXPECT_EQ(record.Drawn[0], record.Given[0]);
  ASSERT_NE(box->Painter, nullptr);
  EXPECT_EQ(box->Painter->DC, nullptr) << "detached before EndPaint";
  EXPECT_EQ(box->Painter->State, 0);
  EXPECT_EQ(PixelOf(box, 10, 10), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(box, 119, 89), RGB(0, 0, 255));
}

TEST_F(TPainterTest, ACallOutsideAPaintDrawsThroughGetDCUntilTheNextPaint) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TWidget* box = shown.Box;
  record.Restart(RGB(0, 128, 0));

  box->PaintEvent(box, nullptr);
  box->PaintEvent(box, nullptr);
  ASSERT_EQ(record.Drawn.size(), 2u);
  HDC direct = record.Drawn[0];
  EXPECT_NE(direct, nullptr);
  EXPECT_EQ(record.Drawn[1], direct) << "the context stays attached";
  EXPECT_EQ(box->Painter->DC, direct);
  EXPECT_EQ(box->Painter->State & kPainterHasDC, kPainterHasDC);
  EXPECT_EQ(PixelOf(box, 60, 45), RGB(0, 128, 0));

  record.Fill = RGB(128, 0, 128);
  RepaintNow(box);
  ASSERT_EQ(record.Drawn.size(), 3u);
  EXPECT_EQ(record.Drawn[2], record.Given[2]) << "the paint context replaced it";
  EXPECT_EQ(box->Painter->DC, nullptr);
  EXPECT_TRUE(WasGivenBack(box, direct));
  EXPECT_EQ(PixelOf(box, 60, 45), RGB(128, 0, 128));
}

TEST_F(TPainterTest, DetachingOrDroppingThePainterGivesItsContextBack) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TWidget* box = shown.Box;

  HDC first = PainterDC(WidgetPainter(box));
  SetPainterDC(box->Painter, nullptr);
  EXPECT_EQ(box->Painter->State, 0);
  EXPECT_TRUE(WasGivenBack(box, first));

  // A new font drops the painter, which was made with the old one.
  HDC second = PainterDC(WidgetPainter(box));
  SetFontHeight(GetFont(box), -20);
  EXPECT_EQ(box->Painter, nullptr);
  EXPECT_TRUE(WasGivenBack(box, second));
  TPainter* rebuilt = WidgetPainter(box);
  ASSERT_NE(rebuilt->Font, nullptr);
  EXPECT_NE(rebuilt->Font, box->Font) << "a copy";
  EXPECT_EQ(rebuilt->Font->FontData.Height, -20);
  EXPECT_EQ(rebuilt->CopyMode, static_cast<uint32_t>(SRCCOPY));
}

TEST_F(TPainterTest, APainterWithoutOwnerDeletesItsContext) {
  auto* painter = new TPainter();
  HDC memory = CreateCompatibleDC(nullptr);
  SetPainterDC(painter, memory);
  EXPECT_EQ(PainterDC(painter), memory) << "no source: the attached context";
  SetPainterDC(painter, nullptr);
  EXPECT_EQ(GetObjectType(memory), 0u);

  HDC kept = CreateCompatibleDC(nullptr);
  SetPainterDC(painter, kept);
  Free(painter);
  EXPECT_EQ(GetObjectType(kept), 0u) << "freed with the painter";
}

TEST_F(TPainterTest, EnsureSelectedSelectsTheFontAndColoursUntilAToolChanges) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TWidget* box = shown.Box;
  SetFontColor(GetFont(box), RGB(200, 10, 20));
  SetColor(box, RGB(1, 2, 3));
  TPainter* painter = WidgetPainter(box);

  HDC dc = EnsureSelected(painter, kPainterHasDC | kPainterFont | kPainterBrush);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(painter->State, kPainterHasDC | kPainterFont | kPainterBrush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), FontHandle(painter->Font));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 10, 20));
  EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);

  // A change of the tool puts the stock objects back.
  SetFontHeight(painter->Font, -30);
  EXPECT_EQ(painter->State, kPainterHasDC);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(EnsureSelected(painter, kPainterHasDC | kPainterFont), dc);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), FontHandle(painter->Font));
  SetPainterDC(painter, nullptr);
  EXPECT_TRUE(WasGivenBack(box, dc));
}

TEST_F(TPainterTest, WithoutAFontToolTheTextTakesTheWidgetsInk) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TWidget* box = shown.Box;
  box->InkColor = RGB(0x56, 0x34, 0x12);
  TPainter* painter = WidgetPainter(box);
  EXPECT_EQ(painter->Font, nullptr);
  HDC dc = EnsureSelected(painter, kPainterHasDC | kPainterFont);
  EXPECT_EQ(GetTextColor(dc), RGB(0x56, 0x34, 0x12));
  SetPainterDC(painter, nullptr);
}

TEST_F(TPainterTest, ThePenPointIsKeptAcrossContexts) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TPainter* painter = WidgetPainter(shown.Box);
  SetPenPoint(painter, 7, 9);
  POINT at = {};
  GetCurrentPositionEx(painter->DC, &at);
  EXPECT_EQ(at.x, 7);
  EXPECT_EQ(at.y, 9);
  SetPainterDC(painter, nullptr);

  HDC next = PainterDC(painter);
  at = {};
  GetCurrentPositionEx(next, &at);
  EXPECT_EQ(at.x, 7) << "applied again to the new context";
  EXPECT_EQ(at.y, 9);
  SetPainterDC(painter, nullptr);
}

void FillAndFail(TPaintRecord* record, TWidget* box, HDC given) {
  FillThroughPainter(record, box, given);
  throw std::runtime_error("the paint failed");
}

bool FailBeforePainting(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == WM_PAINT) throw std::runtime_error("the paint failed");
  return false;
}

// The window procedure catches what a paint throws. The paint is ended all
// the same, and the window is left valid rather than painted again and again.
TEST_F(TPainterTest, APaintThatThrowsIsEndedAndTheNextOneWorks) {
  TPaintRecord record;
  TPaintedBox shown = MakeShownPaintBox(&record);
  Keep(shown.Form);
  TWidget* box = shown.Box;
  for (bool beforePainting : {false, true}) {
    SCOPED_TRACE(beforePainting ? "before painting" : "while painting");
    record.Restart(RGB(0, 0, 255));
    if (beforePainting) {
      AttachHandler(box, &FailBeforePainting);
    } else {
      SetPaintEvent(box, TPaintEvent::Bind<&FillAndFail>(&record));
    }
    RepaintNow(box);
    EXPECT_FALSE(GetUpdateRect(box->Window, nullptr, FALSE)) << "validated";
    EXPECT_EQ(box->PaintContext, nullptr);
    EXPECT_EQ(box->UpdateRegion, nullptr);
    ASSERT_NE(box->Painter, nullptr);
    EXPECT_EQ(box->Painter->DC, nullptr);

    DetachHandler(box, &FailBeforePainting);
    SetPaintEvent(box, TPaintEvent::Bind<&FillThroughPainter>(&record));
    record.Restart(RGB(0, 128, 0));
    RepaintNow(box);
    ASSERT_EQ(record.Drawn.size(), 1u);
    EXPECT_EQ(record.Drawn[0], record.Given[0]);
    EXPECT_EQ(PixelOf(box, 60, 45), RGB(0, 128, 0));
  }
}

TEST_F(TPainterTest, AWidgetWithoutAWindowGivesNoContext) {
  TWidget* orphan = MakePaintBox(nullptr);  // a child control with no parent window
  TPainter* painter = WidgetPainter(orphan);
  EXPECT_EQ(EnsureSelected(painter, kPainterHasDC | kPainterFont), nullptr);
  EXPECT_EQ(painter->State, 0);
  SetPenPoint(painter, 3, 4);
  EXPECT_EQ(painter->PenPoint.x, 3);
  EXPECT_EQ(painter->PenPoint.y, 4);
  Free(orphan);
}

}  // namespace
