// Where widgets are placed and how big they are: default bounds of each kind,
// the geometry setters, centring.
#include <gtest/gtest.h>

#include <string>

#include "gui_fixture.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"
#include "toolkit/widgets/widget.h"

namespace {

using TGeometryTest = GuiTest;

struct TKindCase {
  const char* kind;
  TWidget* (*make)(TWidget* parent);
  int32_t width;
  int32_t heightWithoutInset;  // the height is this less the parent's top inset
  bool heightFollowsInset;
};

const TKindCase kKinds[] = {
    {"button", [](TWidget* p) { return MakeButton(p, "B"); }, 64, 22, false},
    {"label", [](TWidget* p) { return MakeLabel(p, "L"); }, 64, 22, false},
    {"paint box", [](TWidget* p) { return MakePaintBox(p); }, 40, 40, false},
    {"panel", [](TWidget* p) { return MakePanel(p, kEdgeNone); }, 100, 100, true},
    {"group box", [](TWidget* p) { return MakeGroupBox(p, "G"); }, 100, 142, true},
    {"form", [](TWidget* p) { return MakeForm(p, "F"); }, 64, 64, true},
};

RECT Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {left, top, right, bottom};
}

void ExpectRect(const RECT& actual, const RECT& expected, const std::string& what) {
  EXPECT_EQ(actual.left, expected.left) << what;
  EXPECT_EQ(actual.top, expected.top) << what;
  EXPECT_EQ(actual.right, expected.right) << what;
  EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

TEST_F(TGeometryTest, DefaultBoundsOfEachKindFollowTheParentsSpacingAndTopInset) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* plain = MakePanel(form, kEdgeNone);         // inset 0, spacing 2
  TWidget* captioned = MakeGroupBox(form, "Caption");  // inset 22
  TWidget* narrow = MakeGroupBox(form, "Narrow");
  SetInset(narrow, kInsetTop, 14);
  TWidget* spaced = MakePanel(form, kEdgeNone);
  spaced->Spacing = 5;
  struct TParentCase {
    TWidget* parent;
    int32_t spacing;
    int32_t insetTop;
  } parents[] = {{plain, 2, 0}, {captioned, 2, 22}, {narrow, 2, 14}, {spaced, 5, 0}};

  std::vector<std::pair<TWidget*, RECT>> made;
  for (const TParentCase& p : parents) {
    for (const TKindCase& k : kKinds) {
      TWidget* widget = k.make(p.parent);
      int32_t height = k.heightWithoutInset - (k.heightFollowsInset ? p.insetTop : 0);
      RECT expected = Rect(p.spacing, p.spacing + p.insetTop, p.spacing + k.width,
                           p.spacing + p.insetTop + height);
      std::string what = std::string(k.kind) + " in inset " + std::to_string(p.insetTop);
      ExpectRect(GetBounds(widget), expected, what + " before its window");
      made.push_back({widget, expected});
    }
  }
  ASSERT_NE(GetHandle(form), nullptr);
  for (auto& [widget, expected] : made) {
    ASSERT_NE(widget->Window, nullptr) << widget->KindName;
    // A captioned form window is widened to the system's minimum tracking
    // size, so only the controls' windows are compared.
    if (widget->IsChildControl) {
      ExpectRect(GetBounds(widget), expected, std::string(widget->KindName) + " with its window");
    }
  }
}

TEST_F(TGeometryTest, BuilderChainsPlaceAndSizeInOneExpression) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* button = PlaceAt(SizeTo(MakeButton(form, "OK"), 80, 30), 10, 20);
  ExpectRect(GetBounds(button), Rect(10, 20, 90, 50), "chain");
  EXPECT_EQ(button->ExplicitPosition, kLeftWasSet | kTopWasSet);
  EXPECT_EQ(SetAlignMode(button, kAlignNone), button);

  struct TCase {
    int32_t width, height;
    RECT expected;
  } cases[] = {
      {137, 0, Rect(2, 2, 139, 24)},
      {0, 45, Rect(2, 2, 66, 47)},
      {-5, -5, Rect(2, 2, 66, 24)},
      {100, 100, Rect(2, 2, 102, 102)},
  };
  for (const TCase& c : cases) {
    TWidget* label = SizeTo(MakeLabel(form, "L"), c.width, c.height);
    ExpectRect(GetBounds(label), c.expected,
               std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(label->ExplicitPosition, 0) << "only the size changed";
  }
}

TEST_F(TGeometryTest, GeometrySettersWorkWithAndWithoutTheWindow) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* before = MakeButton(form, "before");
  SetLeft(before, 30);
  SetTop(before, 40);
  SetWidth(before, 50);
  SetHeight(before, 60);
  GetHandle(form);
  ExpectRect(GetBounds(before), Rect(30, 40, 80, 100), "stored, then created");
  RECT window;
  GetWindowRect(before->Window, &window);
  EXPECT_EQ(window.right - window.left, 50);

  SetLeft(before, 5);
  SetHeight(before, 10);
  ExpectRect(GetBounds(before), Rect(5, 40, 55, 50), "moved with the window");
  EXPECT_EQ(GetWidth(before), 50);
  EXPECT_EQ(GetHeight(before), 10);
}

// Counts position changes reaching the window.
int g_positionChanges = 0;
bool CountPositionChanges(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == WM_WINDOWPOSCHANGING) ++g_positionChanges;
  return false;
}

TEST_F(TGeometryTest, PlacingAtTheCurrentRectangleDoesNothing) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* label = MakeLabel(form, "L");
  GetHandle(form);
  AttachHandler(label, &CountPositionChanges);
  PlaceAndSize(label, GetBounds(label));
  EXPECT_EQ(g_positionChanges, 0);
  EXPECT_EQ(label->ExplicitPosition, 0);
  PlaceAndSize(label, Rect(2, 9, 66, 31));
  EXPECT_EQ(g_positionChanges, 1);
  EXPECT_EQ(label->ExplicitPosition, kTopWasSet);
}

TEST_F(TGeometryTest, CenterInParentUsesTheParentsClientArea) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* panel = SizeTo(MakePanel(form, kEdgeNone), 200, 101);
  TWidget* button = MakeButton(panel, "B");
  CenterInParent(button);
  ExpectRect(GetBounds(button), Rect(68, 39, 132, 61), "centred");

  TWidget* dialog = Keep(SizeTo(MakeForm(nullptr, "Dialog"), 200, 100));
  CenterInParent(dialog);
  RECT placed = GetBounds(dialog);
  EXPECT_EQ(placed.left, (GetSystemMetrics(SM_CXSCREEN) - 200) >> 1);
  EXPECT_EQ(placed.top, (GetSystemMetrics(SM_CYSCREEN) - 100) >> 1);
}

TEST_F(TGeometryTest, FormsOpenWherePlacedOrWhereTheSystemChooses) {
  TWidget* placed = Keep(SizeTo(PlaceAt(MakeForm(nullptr, "Placed"), 30, 40), 300, 200));
  TWidget* free = Keep(MakeForm(nullptr, "Free"));
  GetHandle(placed);
  GetHandle(free);
  RECT rect;
  GetWindowRect(placed->Window, &rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right - rect.left, 300);
  EXPECT_EQ(rect.bottom - rect.top, 200);
  EXPECT_EQ(free->ExplicitPosition, 0);
  GetWindowRect(free->Window, &rect);
  EXPECT_GT(rect.right - rect.left, 0) << "the system's default size";
  EXPECT_GT(rect.bottom - rect.top, 0);
}

}  // namespace
