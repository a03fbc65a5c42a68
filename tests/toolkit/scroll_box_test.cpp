// The scroll box with real windows: ranges that follow the children and
// scrolling that moves them.
#include "toolkit/widgets/scroll_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_fixture.h"
#include "toolkit/widgets/dispatch.h"

namespace {

using TScrollTest = GuiTest;

struct TBar {
  int Min;
  int Max;
  UINT Page;
  int Pos;
  friend bool operator==(const TBar&, const TBar&) = default;
};

std::ostream& operator<<(std::ostream& out, const TBar& bar) {
  return out << "range " << bar.Min << ".." << bar.Max << " page " << bar.Page << " pos "
             << bar.Pos;
}

TBar BarOf(TWidget* box, int bar) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  GetScrollInfo(box->Window, bar, &info);
  return {info.nMin, info.nMax, info.nPage, info.nPos};
}

// A shown scroll box without spacing holding one child.
struct TScrollScene {
  TWidget* Form;
  TWidget* Box;
  TWidget* Child;
};

TScrollScene MakeScene(SIZE child) {
  TWidget* form = MakeForm(nullptr, "Scroll");
  PlaceAt(form, 40, 40);
  SizeTo(form, 420, 420);
  TWidget* box = MakeScrollBox(form, kScrollEdgeClient);
  box->Spacing = 0;
  TWidget* content = MakePaintBox(box);
  PlaceAt(content, 0, 0);
  SizeTo(content, child.cx, child.cy);
  ShowNow(form);
  return {form, box, content};
}

// Sizes the box so that its client area, with the scroll bars it then
// needs, is exactly `width` x `height`.
void FitClient(TWidget* box, int width, int height) {
  for (int i = 0; i < 3; ++i) {
    RECT client;
    GetClientRect(box->Window, &client);
    SizeTo(box, GetWidth(box) + width - client.right, GetHeight(box) + height - client.bottom);
  }
  PumpQueued();
}

TEST_F(TScrollTest, TheBoxIsMadeWithTheStyleOfItsEdge) {
  TWidget* form = Keep(MakeForm(nullptr, "Boxes"));
  struct TCase {
    uint8_t Edge;
    uint32_t Style;
    uint32_t ExStyle;
  } cases[] = {
      {kScrollEdgeFrame, 0x56400000, 0x10000},
      {kScrollEdgeClient, 0x56001000, 0x10200},
      {kScrollEdgeNone, 0x56000000, 0x10000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Edge);
    TWidget* box = MakeScrollBox(form, c.Edge);
    EXPECT_EQ(box->Style, c.Style);
    EXPECT_EQ(box->ExStyle, c.ExStyle);
    EXPECT_EQ(box->HorzLineStep, 16);
    EXPECT_EQ(box->VertLineStep, 16);
    GetHandle(box);
    EXPECT_EQ(ClassOf(box->Window), "obj_ScrollBox");
    EXPECT_EQ(StyleOf(box->Window) & (WS_HSCROLL | WS_VSCROLL), 0) << "nothing to scroll";
  }
}

TEST_F(TScrollTest, ChildrenExtentBoundsTheVisibleChildrenWithTheSpacing) {
  struct TCase {
    const char* Name;
    std::vector<RECT> Shown;
    int32_t Spacing;
    RECT Extent;
  } cases[] = {
      {"no child", {}, 0, {0, 0, -1, -1}},
      {"no child, spacing 2: no margin either", {}, 2, {0, 0, -1, -1}},
      {"one child", {{10, 20, 110, 70}}, 2, {8, 18, 111, 71}},
      {"two children", {{10, 20, 110, 70}, {50, 5, 80, 200}}, 2, {8, 3, 111, 201}},
      {"left of the origin", {{-40, 0, 10, 10}, {0, -5, 60, 30}}, 0, {-40, -5, 59, 29}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TWidget* form = MakeForm(nullptr, "Extent");
    TWidget* box = MakeScrollBox(form, kScrollEdgeNone);
    box->Spacing = c.Spacing;
    for (const RECT& r : c.Shown)
      PlaceAndSize(MakePaintBox(box), r);
    TWidget* hidden = MakePaintBox(box);
    PlaceAndSize(hidden, {500, 500, 600, 600});
    SetVisible(hidden, false);
    RECT extent = ChildrenExtent(box);
    EXPECT_EQ((std::vector<LONG>{extent.left, extent.top, extent.right, extent.bottom}),
              (std::vector<LONG>{c.Extent.left, c.Extent.top, c.Extent.right, c.Extent.bottom}));
    Free(form);
  }
}

TEST_F(TScrollTest, TheRangesCoverTheClientAreaAndTheChild) {
  TScrollScene scene = MakeScene({300, 200});
  Keep(scene.Form);
  FitClient(scene.Box, 240, 240);
  EXPECT_EQ(BarOf(scene.Box, SB_HORZ), (TBar{0, 298, 240, 0}));
  EXPECT_EQ(BarOf(scene.Box, SB_VERT), (TBar{0, 239, 240, 0}));
  EXPECT_EQ(StyleOf(scene.Box->Window) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL)
      << "the content fits vertically";
}

TEST_F(TScrollTest, EachScrollRequestMovesTheChildToMinusThePosition) {
  TScrollScene scene = MakeScene({300, 200});
  Keep(scene.Form);
  FitClient(scene.Box, 240, 240);
  struct TStep {
    const char* Name;
    WPARAM Request;
    int Pos;
  } steps[] = {
      {"line down", SB_LINEDOWN, 16},
      {"line down again", SB_LINEDOWN, 32},
      {"line up", SB_LINEUP, 16},
      // The system keeps the position within nMax - nPage + 1 = 59.
      {"page down", SB_PAGEDOWN, 59},
      {"line down at the end", SB_LINEDOWN, 59},
      {"page up", SB_PAGEUP, 0},
      {"line up at the start", SB_LINEUP, 0},
      {"bottom", SB_BOTTOM, 59},
      {"top", SB_TOP, 0},
      {"line down once more", SB_LINEDOWN, 16},
      {"thumb position: the track already moved", MAKEWPARAM(SB_THUMBPOSITION, 40), 16},
      {"end of scrolling", SB_ENDSCROLL, 16},
      {"thumb track without a drag: the track is the position", SB_THUMBTRACK, 16},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    SendMessageA(scene.Box->Window, WM_HSCROLL, step.Request, 0);
    EXPECT_EQ(GetScrollPos(scene.Box->Window, SB_HORZ), step.Pos);
    RECT child = GetBounds(scene.Child);
    EXPECT_EQ(child.left, -step.Pos);
    EXPECT_EQ(child.right - child.left, 300);
    EXPECT_EQ(child.top, 0);
  }
  SendMessageA(scene.Box->Window, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(GetBounds(scene.Child).top, 0) << "nothing to scroll vertically";
  SendMessageA(scene.Box->Window, WM_HSCROLL, SB_LINEDOWN,
               reinterpret_cast<LPARAM>(scene.Form->Window));
  EXPECT_EQ(GetBounds(scene.Child).left, -16) << "a scroll bar control's own scrolling";
}

int g_recomputes = 0;
void CountingRecompute(TWidget* box, TWidget* child) {
  if (!child) ++g_recomputes;
  UpdateScrollRanges(box, child);
}

TEST_F(TScrollTest, ScrollingMovesEveryChildWithoutRecomputingForEach) {
  TScrollScene scene = MakeScene({300, 200});
  Keep(scene.Form);
  TWidget* second = PlaceAt(SizeTo(MakePaintBox(scene.Box), 20, 20), 100, 150);
  TWidget* hidden = PlaceAt(SizeTo(MakePaintBox(scene.Box), 20, 20), 10, 10);
  SetVisible(hidden, false);
  PumpQueued();
  FitClient(scene.Box, 240, 240);
  scene.Box->RecomputeRoutine = &CountingRecompute;
  g_recomputes = 0;

  SendMessageA(scene.Box->Window, WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(g_recomputes, 0);
  EXPECT_EQ(scene.Box->RecomputeRoutine, &CountingRecompute) << "restored";
  EXPECT_EQ(GetBounds(scene.Child).left, -16);
  EXPECT_EQ(GetBounds(second).left, 84);
  EXPECT_EQ(GetBounds(hidden).left, -6) << "hidden children move too";
  scene.Box->RecomputeRoutine = &UpdateScrollRanges;
}

TEST_F(TScrollTest, TheRangesFollowTheChildsSizePlaceAndVisibility) {
  TScrollScene scene = MakeScene({300, 200});
  Keep(scene.Form);
  FitClient(scene.Box, 240, 240);
  TWidget* box = scene.Box;

  SizeTo(scene.Child, 500, 0);
  EXPECT_EQ(BarOf(box, SB_HORZ).Max, 498);
  // Content left of the origin stays reachable.
  SizeTo(scene.Child, 300, 0);
  PlaceAt(scene.Child, -100, 0);
  EXPECT_EQ(BarOf(box, SB_HORZ).Max, 339);
  PlaceAt(scene.Child, 0, 0);
  EXPECT_EQ(BarOf(box, SB_HORZ).Max, 298);

  // The visibility changes after WM_SHOWWINDOW: the child posts itself a
  // reminder to recompute then.
  SetVisible(scene.Child, false);
  EXPECT_EQ(BarOf(box, SB_HORZ).Max, 298);
  PumpQueued();
  RECT client;
  GetClientRect(box->Window, &client);
  EXPECT_EQ(BarOf(box, SB_HORZ).Max, client.right - 1);
  EXPECT_EQ(StyleOf(box->Window) & WS_HSCROLL, 0);
  SetVisible(scene.Child, true);
  PumpQueued();
  EXPECT_EQ(BarOf(box, SB_HORZ).Max, 298);
}

TEST_F(TScrollTest, ARecomputeKeepsTheRelativePosition) {
  TScrollScene scene = MakeScene({300, 200});
  Keep(scene.Form);
  FitClient(scene.Box, 240, 240);
  SendMessageA(scene.Box->Window, WM_HSCROLL, SB_BOTTOM, 0);
  ASSERT_EQ(BarOf(scene.Box, SB_HORZ).Pos, 59);
  SizeTo(scene.Child, 600, 0);
  // 59 of 0..298 becomes 118 of 0..598 (598 * 59 / 298 = 118.4).
  EXPECT_EQ(BarOf(scene.Box, SB_HORZ), (TBar{0, 598, 240, 118}));
}

}  // namespace
