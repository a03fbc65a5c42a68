#include "toolkit/widgets/layout.h"

#include <gtest/gtest.h>

#include <string>

#include "gui_fixture.h"

namespace {

class TLayoutTest : public GuiTest {
 protected:
  // A borderless panel whose client rectangle is (0, 0, width, height).
  TWidget* Parent(int32_t width, int32_t height, int32_t spacing) {
    form_ = Keep(MakeForm(nullptr, "Layout"));
    TWidget* parent = SizeTo(MakePanel(form_, kEdgeNone), width, height);
    parent->Spacing = spacing;
    return parent;
  }
  TWidget* form_ = nullptr;
};

TWidget* Aligned(TWidget* widget, int32_t width, int32_t height, uint8_t mode) {
  return SetAlignMode(SizeTo(widget, width, height), mode);
}

void ExpectBounds(TWidget* widget, RECT expected, const char* name) {
  RECT actual = GetBounds(widget);
  EXPECT_EQ(actual.left, expected.left) << name;
  EXPECT_EQ(actual.top, expected.top) << name;
  EXPECT_EQ(actual.right, expected.right) << name;
  EXPECT_EQ(actual.bottom, expected.bottom) << name;
}

TEST_F(TLayoutTest, TopLeftAndClientChildrenWithBothSpacings) {
  struct TCase {
    int32_t spacing;
    RECT top, left, client;
  } cases[] = {
      {2, {2, 2, 398, 47}, {2, 49, 139, 298}, {141, 49, 398, 298}},
      {0, {0, 0, 400, 45}, {0, 45, 137, 300}, {137, 45, 400, 300}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("spacing " + std::to_string(c.spacing));
    TWidget* parent = Parent(400, 300, c.spacing);
    TWidget* p = Aligned(MakePanel(parent, kEdgeNone), 0, 45, kAlignTop);
    TWidget* q = Aligned(MakePanel(parent, kEdgeNone), 137, 0, kAlignLeft);
    TWidget* z = Aligned(MakePanel(parent, kEdgeNone), 0, 0, kAlignClient);
    EXPECT_NE(parent->Window, nullptr) << "alignment works on real client rectangles";
    ExpectBounds(p, c.top, "P");
    ExpectBounds(q, c.left, "Q");
    ExpectBounds(z, c.client, "Z");
    EXPECT_EQ(ClientWidth(parent), 400);
    EXPECT_EQ(ClientHeight(parent), 300);
  }
}

TEST_F(TLayoutTest, RightAndBottomChildrenTakeTheirStripsFromTheFarSide) {
  TWidget* parent = Parent(400, 300, 2);
  TWidget* bottom = Aligned(MakePanel(parent, kEdgeNone), 0, 30, kAlignBottom);
  TWidget* top = Aligned(MakePanel(parent, kEdgeNone), 0, 20, kAlignTop);
  TWidget* right = Aligned(MakePanel(parent, kEdgeNone), 50, 0, kAlignRight);
  TWidget* left = Aligned(MakePanel(parent, kEdgeNone), 60, 0, kAlignLeft);
  TWidget* client = Aligned(MakePanel(parent, kEdgeNone), 0, 0, kAlignClient);
  ExpectBounds(bottom, {2, 268, 398, 298}, "bottom");
  ExpectBounds(top, {2, 2, 398, 22}, "top");
  ExpectBounds(right, {348, 24, 398, 266}, "right");
  ExpectBounds(left, {2, 24, 62, 266}, "left");
  ExpectBounds(client, {64, 24, 346, 266}, "client");
}

TEST_F(TLayoutTest, AClientChildMadeFirstFillsWhatTheLeftChildrenLeave) {
  TWidget* parent = Parent(400, 300, 2);
  TWidget* z = Aligned(MakePanel(parent, kEdgeNone), 0, 0, kAlignClient);
  TWidget* first = Aligned(MakePanel(parent, kEdgeNone), 50, 0, kAlignLeft);
  TWidget* second = Aligned(MakePanel(parent, kEdgeNone), 60, 0, kAlignLeft);
  ExpectBounds(first, {2, 2, 52, 298}, "first left");
  ExpectBounds(second, {54, 2, 114, 298}, "second left");
  ExpectBounds(z, {116, 2, 398, 298}, "client");
}

TEST_F(TLayoutTest, GroupBoxInsetsKeepTheCaptionFree) {
  TWidget* parent = Parent(400, 300, 2);
  TWidget* box = SizeTo(MakeGroupBox(parent, "Group"), 144, 100);
  SetInset(box, kInsetTop, 14);
  EXPECT_EQ(box->InsetTop, 14);
  EXPECT_EQ(box->InsetLeft, 2);
  EXPECT_EQ(box->InsetRight, 2);
  EXPECT_EQ(box->InsetBottom, 2);
  TWidget* list = Aligned(MakePanel(box, kEdgeSunken), 0, 0, kAlignClient);
  ExpectBounds(list, {4, 16, 140, 96}, "client child of the group box");
  RECT area = ClientArea(box);
  EXPECT_EQ(area.left, 2);
  EXPECT_EQ(area.top, 14);
  EXPECT_EQ(area.right, 142);
  EXPECT_EQ(area.bottom, 98);

  // A changed inset re-lays the box out at once; unknown sides store nothing.
  SetInset(box, kInsetLeft, 10);
  ExpectBounds(list, {12, 16, 140, 96}, "after a wider left inset");
  SetInset(box, 0, 50);
  SetInset(box, 5, 50);
  EXPECT_EQ(box->InsetTop, 14);
  EXPECT_EQ(box->InsetRight, 2);
}

TEST_F(TLayoutTest, HidingALeftPanelLetsTheClientGrowAndShowingRestoresIt) {
  for (bool shown : {true, false}) {
    SCOPED_TRACE(shown ? "on screen" : "while the windows wait to be shown");
    TWidget* parent = Parent(400, 300, 2);
    TWidget* p = Aligned(MakePanel(parent, kEdgeNone), 0, 45, kAlignTop);
    TWidget* q = Aligned(MakePanel(parent, kEdgeNone), 137, 0, kAlignLeft);
    TWidget* z = Aligned(MakePanel(parent, kEdgeNone), 0, 0, kAlignClient);
    if (shown) {
      Show(form_);
      form_->CreateWindowHandle();
      ASSERT_TRUE(IsWindowVisible(q->Window));
    } else {
      ASSERT_TRUE(q->ShowPending);
    }
    Hide(q);
    EXPECT_FALSE(ToBeVisible(q));
    ExpectBounds(z, {2, 49, 398, 298}, "over the hidden panel's place");
    ExpectBounds(q, {2, 49, 139, 298}, "a hidden child keeps its bounds");
    ExpectBounds(p, {2, 2, 398, 47}, "untouched");
    SetVisible(q, true);
    ExpectBounds(z, {141, 49, 398, 298}, "restored");
    EXPECT_TRUE(IsWindowVisible(q->Window) || !shown);
  }
}

TEST_F(TLayoutTest, ResizingTheParentRealignsThroughItsSizeMessage) {
  TWidget* parent = Parent(400, 300, 2);
  TWidget* q = Aligned(MakePanel(parent, kEdgeNone), 137, 0, kAlignLeft);
  TWidget* z = Aligned(MakePanel(parent, kEdgeNone), 0, 0, kAlignClient);
  TWidget* inner = Aligned(MakePanel(z, kEdgeNone), 0, 0, kAlignClient);
  SizeTo(parent, 500, 200);
  ExpectBounds(q, {2, 2, 139, 198}, "left");
  ExpectBounds(z, {141, 2, 498, 198}, "client");
  ExpectBounds(inner, {2, 2, 355, 194}, "the client's own child follows");
  EXPECT_EQ(parent->SizeState, SIZE_RESTORED);
}

TEST_F(TLayoutTest, OnlyTheDimensionTheModeKeepsSurvivesTheNextRealign) {
  TWidget* parent = Parent(400, 300, 2);
  TWidget* top = Aligned(MakePanel(parent, kEdgeNone), 0, 45, kAlignTop);
  TWidget* left = Aligned(MakePanel(parent, kEdgeNone), 137, 0, kAlignLeft);
  SizeTo(left, 300, 0);
  SizeTo(top, 300, 0);
  RedoLayout(parent);
  ExpectBounds(left, {2, 49, 302, 298}, "left keeps its new width");
  ExpectBounds(top, {2, 2, 398, 47}, "top gets the full width back");
}

TEST_F(TLayoutTest, TooSmallParentsGiveEmptyNeverNegativeChildren) {
  TWidget* parent = Parent(10, 10, 2);
  TWidget* p = Aligned(MakePanel(parent, kEdgeNone), 0, 45, kAlignTop);
  TWidget* q = Aligned(MakePanel(parent, kEdgeNone), 137, 0, kAlignLeft);
  TWidget* z = Aligned(MakePanel(parent, kEdgeNone), 0, 0, kAlignClient);
  ExpectBounds(p, {2, 2, 8, 47}, "top keeps its height");
  ExpectBounds(q, {2, 49, 139, 49}, "left gets no height");
  ExpectBounds(z, {141, 49, 141, 49}, "client gets nothing");
  for (TWidget* child : {p, q, z}) {
    RECT window;
    GetWindowRect(child->Window, &window);
    EXPECT_GE(window.right - window.left, 0);
    EXPECT_GE(window.bottom - window.top, 0);
  }
}

TEST_F(TLayoutTest, HiddenParentsAndUnalignedChildrenAreLeftAlone) {
  TWidget* parent = Parent(400, 300, 2);
  TWidget* fixed = PlaceAt(SizeTo(MakeButton(parent, "fixed"), 80, 30), 300, 250);
  TWidget* box = SizeTo(MakePanel(parent, kEdgeNone), 100, 100);
  Hide(box);
  TWidget* inside = Aligned(MakePanel(box, kEdgeNone), 0, 0, kAlignClient);
  EXPECT_FALSE(ToBeVisible(inside)) << "its parent is hidden";
  ExpectBounds(inside, {2, 2, 102, 102}, "not placed");
  SetVisible(box, true);
  ExpectBounds(inside, {2, 2, 98, 98}, "placed once shown");
  RedoLayout(parent);
  ExpectBounds(fixed, {300, 250, 380, 280}, "explicitly placed");
}

TEST_F(TLayoutTest, WindowlessWidgetsAreVisibleToLayoutWhileTheirShowIsPending) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* child = MakeForm(form, "Owned");
  EXPECT_TRUE(ToBeVisible(child));
  GetHandle(form);
  EXPECT_FALSE(form->Visible);
  EXPECT_TRUE(form->ShowPending);
  EXPECT_TRUE(ToBeVisible(form));
  // An explicit hide cancels the pending show.
  Hide(form);
  EXPECT_FALSE(ToBeVisible(form));
  form->CreateWindowHandle();
  EXPECT_FALSE(IsWindowVisible(form->Window));
}

}  // namespace
