#include "toolkit/widgets/widget.h"

#include <gtest/gtest.h>

#include <string>

#include "gui_fixture.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"

namespace {

// Taken before any test runs: the identifier the first control gets.
const uint16_t kFirstControlId = NextControlId;

using TWidgetTest = GuiTest;

TEST_F(TWidgetTest, KindsAreMadeWithTheirStylesClassesAndFlags) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  struct TCase {
    TWidget* widget;
    const char* kindName;
    uint32_t style;
    bool takesFocus;
  } cases[] = {
      {MakeButton(form, "B"), "BUTTON", 0x56011000, true},
      {MakeLabel(form, "L"), "STATIC", 0x5600018C, false},
      {MakePaintBox(form), "STATIC", 0x5600018C, false},
      {MakePanel(form, kEdgeRaised), "STATIC", 0x5640018C, false},
      {MakePanel(form, kEdgeSunken), "STATIC", 0x5600118C, false},
      {MakePanel(form, kEdgeNone), "STATIC", 0x5600018C, false},
      {MakePanel(form, 7), "STATIC", 0x5600018C, false},
      {MakeGroupBox(form, "G"), "BUTTON", 0x56030007, false},
  };
  EXPECT_EQ(form->Style, 0x16CF0000u);
  EXPECT_EQ(form->ClassStyle, static_cast<uint32_t>(CS_OWNDC | CS_DBLCLKS));
  EXPECT_STREQ(form->KindName, "Form");
  EXPECT_FALSE(form->IsChildControl);
  for (const TCase& c : cases) {
    EXPECT_EQ(c.widget->Style, c.style) << c.kindName;
    EXPECT_EQ(c.widget->ExStyle, 0x10000u) << c.kindName;
    EXPECT_EQ(c.widget->ClassStyle, static_cast<uint32_t>(CS_OWNDC));
    EXPECT_STREQ(c.widget->KindName, c.kindName);
    EXPECT_EQ(c.widget->TakesFocus, c.takesFocus) << c.kindName << std::hex << c.style;
    EXPECT_TRUE(c.widget->IsChildControl);
    EXPECT_EQ(c.widget->Color, clBtnFace);
  }
  EXPECT_EQ(cases[0].widget->TextHAlign, kTextCenter);
  EXPECT_EQ(form->FocusedChild, cases[0].widget) << "the first tab stop";

  ASSERT_NE(GetHandle(form), nullptr);
  EXPECT_EQ(ClassOf(form->Window), "obj_Form");
  // Per-window device context styles never reach the registered class.
  EXPECT_EQ(GetClassLongPtrA(form->Window, GCL_STYLE), CS_DBLCLKS);
  for (const TCase& c : cases) {
    EXPECT_EQ(ClassOf(c.widget->Window), std::string("obj_") + c.kindName);
    EXPECT_EQ(StyleOf(c.widget->Window), static_cast<LONG_PTR>(c.style)) << c.kindName;
    auto classStyle = GetClassLongPtrA(c.widget->Window, GCL_STYLE);
    EXPECT_EQ(classStyle & (CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS), 0);
    EXPECT_NE(c.widget->ClassProc, nullptr) << "built on the system class";
    EXPECT_EQ(GetParent(c.widget->Window), form->Window);
  }
}

TEST_F(TWidgetTest, ControlsAreNumberedFrom32768AndWrapAt16Bits) {
  EXPECT_EQ(kFirstControlId, 0x8000);
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  uint16_t next = NextControlId;
  TWidget* first = MakeButton(form, "1");
  TWidget* second = MakeLabel(form, "2");
  NextControlId = 0xFFFF;
  TWidget* last = MakePanel(form, kEdgeNone);
  TWidget* wrapped = MakePanel(form, kEdgeNone);
  EXPECT_EQ(NextControlId, 1);
  GetHandle(form);
  EXPECT_EQ(GetDlgCtrlID(first->Window), next);
  EXPECT_EQ(GetDlgCtrlID(second->Window), static_cast<uint16_t>(next + 1));
  EXPECT_EQ(GetDlgCtrlID(last->Window), 0xFFFF);
  EXPECT_EQ(GetDlgCtrlID(wrapped->Window), 0);
  EXPECT_EQ(form->MenuOrId, 0u) << "forms take no identifier";
}

TEST_F(TWidgetTest, TextIsStoredAndReadBackFromTheWindow) {
  TWidget* form = Keep(MakeForm(nullptr, "Первая"));
  TWidget* label = MakeLabel(form, nullptr);
  EXPECT_EQ(GetText(label), "");
  SetText(label, "before");
  EXPECT_EQ(GetText(label), "before");
  GetHandle(form);
  EXPECT_EQ(TextOf(form->Window), "Первая");
  EXPECT_EQ(TextOf(label->Window), "before");

  SetText(label, "after");
  EXPECT_EQ(TextOf(label->Window), "after");
  SetWindowTextA(label->Window, "typed");
  EXPECT_EQ(GetText(label), "typed") << "the window's text wins";
  EXPECT_EQ(label->StoredText, "after");
  SetText(label, nullptr);
  EXPECT_EQ(GetText(label), "");
}

TEST_F(TWidgetTest, EnabledStateBeforeAndAfterTheWindow) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* early = MakeButton(form, "early");
  TWidget* late = MakeButton(form, "late");
  SetEnabled(early, false);
  EXPECT_FALSE(IsEnabled(early));
  EXPECT_TRUE(early->Style & WS_DISABLED);
  GetHandle(form);
  EXPECT_FALSE(IsWindowEnabled(early->Window)) << "created disabled";
  EXPECT_TRUE(StyleOf(early->Window) & WS_DISABLED);

  SetEnabled(late, false);
  EXPECT_FALSE(IsWindowEnabled(late->Window));
  SetEnabled(early, true);
  EXPECT_TRUE(IsWindowEnabled(early->Window));
  EXPECT_FALSE(early->Style & WS_DISABLED);
  EXPECT_TRUE(early->Enabled);
  EXPECT_FALSE(late->Enabled);
}

struct TAlignStep {
  bool label;
  bool horizontal;
  uint8_t align;
  uint32_t lowWord;
};

const TAlignStep kAlignSteps[] = {
    {true, true, kTextCenter, SS_NOTIFY | SS_NOPREFIX | SS_CENTER},
    {true, true, kTextRight, SS_NOTIFY | SS_NOPREFIX | SS_RIGHT},
    {true, true, kTextLeft, SS_NOTIFY | SS_NOPREFIX | SS_LEFT},
    {true, false, kTextMiddle, SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE},
    {true, false, kTextTop, SS_NOTIFY | SS_NOPREFIX},  // the centring is undone
    {false, true, kTextLeft, BS_PUSHLIKE | BS_LEFT},
    {false, true, kTextRight, BS_PUSHLIKE | BS_RIGHT},
    {false, false, kTextTop, BS_PUSHLIKE | BS_RIGHT | BS_TOP},
    {false, false, kTextBottom, BS_PUSHLIKE | BS_RIGHT | BS_BOTTOM},
    {false, false, kTextMiddle, BS_PUSHLIKE | BS_RIGHT | BS_VCENTER},
};

TEST_F(TWidgetTest, TextAlignmentRewritesTheKindsStyleBits) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  for (bool withWindow : {false, true}) {
    TWidget* label = MakeLabel(form, "L");
    TWidget* button = MakeButton(form, "B");
    if (withWindow) {
      ASSERT_NE(GetHandle(form), nullptr);
    }
    for (const TAlignStep& step : kAlignSteps) {
      TWidget* widget = step.label ? label : button;
      if (step.horizontal) {
        SetTextHAlign(widget, step.align);
      } else {
        SetTextVAlign(widget, step.align);
      }
      std::string what = std::string(widget->KindName) + (step.horizontal ? " h " : " v ") +
                         std::to_string(step.align) + (withWindow ? " window" : " stored");
      uint32_t high = step.label ? 0x56000000 : 0x56010000;
      EXPECT_EQ(widget->Style, high | step.lowWord) << what;
      if (withWindow) {
        EXPECT_EQ(StyleOf(widget->Window), static_cast<LONG_PTR>(widget->Style)) << what;
      }
    }
    EXPECT_EQ(label->TextHAlign, kTextLeft);
    EXPECT_EQ(label->TextVAlign, kTextTop);
    EXPECT_EQ(button->TextVAlign, kTextMiddle);
  }
}

bool g_allChildrenHadWindows = false;
int g_showCount = 0;
bool RecordShow(TWidget* widget, TMessage& message, LRESULT&) {
  if (message.Message != WM_SHOWWINDOW || !message.WParam) return false;
  ++g_showCount;
  g_allChildrenHadWindows = true;
  for (int32_t i = 0; i < widget->Children->Count; ++i) {
    if (!static_cast<TWidget*>(widget->Children->ItemAt(i))->Window) {
      g_allChildrenHadWindows = false;
    }
  }
  return false;
}

TEST_F(TWidgetTest, GetHandleCreatesHiddenAndTheNextCreationShowsAfterTheChildren) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* panel = MakePanel(form, kEdgeSunken);
  TWidget* button = MakeButton(panel, "B");
  AttachHandler(form, &RecordShow);

  ASSERT_NE(GetHandle(form), nullptr);
  EXPECT_FALSE(IsWindowVisible(form->Window));
  EXPECT_TRUE(form->ShowPending);
  EXPECT_TRUE(form->VisibilitySet);
  EXPECT_FALSE(form->Style & WS_VISIBLE);
  EXPECT_NE(button->Window, nullptr) << "children are made with the window";
  EXPECT_TRUE(StyleOf(panel->Window) & WS_VISIBLE) << "children keep their own visibility";
  EXPECT_EQ(g_showCount, 0);

  EXPECT_TRUE(form->CreateWindowHandle());
  EXPECT_TRUE(IsWindowVisible(form->Window));
  EXPECT_TRUE(IsWindowVisible(button->Window));
  EXPECT_FALSE(form->ShowPending);
  EXPECT_EQ(g_showCount, 1);
  EXPECT_TRUE(g_allChildrenHadWindows);
}

TEST_F(TWidgetTest, AChildsHandleCreatesItsAncestorsHidden) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* panel = MakePanel(form, kEdgeNone);
  TWidget* label = MakeLabel(panel, "deep");
  ASSERT_NE(GetHandle(label), nullptr);
  EXPECT_NE(form->Window, nullptr);
  EXPECT_EQ(GetParent(label->Window), panel->Window);
  EXPECT_FALSE(IsWindowVisible(form->Window));
  EXPECT_FALSE(StyleOf(label->Window) & WS_VISIBLE);
  EXPECT_TRUE(label->ShowPending);

  Show(form);  // explicitly shown: the pending children still wait for their creation
  EXPECT_TRUE(IsWindowVisible(form->Window));
  form->CreateWindowHandle();
  EXPECT_TRUE(IsWindowVisible(label->Window));
  EXPECT_FALSE(label->ShowPending);
  EXPECT_FALSE(panel->ShowPending);
}

TEST_F(TWidgetTest, HidingAndShowingKeepStyleAndWindowInStep) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* label = MakeLabel(form, "L");
  Hide(label);
  EXPECT_FALSE(IsVisible(label));
  EXPECT_FALSE(label->Style & WS_VISIBLE);
  GetHandle(form);
  form->CreateWindowHandle();
  EXPECT_FALSE(IsWindowVisible(label->Window)) << "explicitly hidden stays hidden";
  SetVisible(label, true);
  EXPECT_TRUE(IsWindowVisible(label->Window));
  EXPECT_TRUE(IsVisible(label));
  ShowWindow(form->Window, SW_HIDE);
  EXPECT_FALSE(IsVisible(form)) << "a form asks its window";
}

TEST_F(TWidgetTest, ResizingLockedFormsKeepTheirSize) {
  TWidget* form = Keep(SizeTo(PlaceAt(MakeForm(nullptr, "Fixed"), 50, 60), 320, 240));
  SetResizable(form, false);
  ASSERT_NE(form->Window, nullptr) << "locking creates the window";
  EXPECT_TRUE(form->SizeLocked);
  EXPECT_EQ(form->FixedWidth, 320);
  EXPECT_EQ(form->FixedHeight, 240);

  MINMAXINFO info{};
  SendMessageA(form->Window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 320);
  EXPECT_EQ(info.ptMinTrackSize.y, 240);
  EXPECT_EQ(info.ptMaxTrackSize.x, 320);
  EXPECT_EQ(info.ptMaxTrackSize.y, 240);

  RECT rect;
  GetWindowRect(form->Window, &rect);
  LPARAM leftEdge = MAKELPARAM(rect.left + 1, (rect.top + rect.bottom) / 2);
  LPARAM corner = MAKELPARAM(rect.right - 1, rect.bottom - 1);
  LPARAM centre = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  EXPECT_EQ(SendMessageA(form->Window, WM_NCHITTEST, 0, leftEdge), HTBORDER);
  EXPECT_EQ(SendMessageA(form->Window, WM_NCHITTEST, 0, corner), HTBORDER);
  EXPECT_EQ(SendMessageA(form->Window, WM_NCHITTEST, 0, centre), HTCLIENT);

  SetResizable(form, true);
  EXPECT_EQ(SendMessageA(form->Window, WM_NCHITTEST, 0, leftEdge), HTLEFT);
}

TEST_F(TWidgetTest, StyleChangesReachTheWindow) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* label = MakeLabel(form, "L");
  GetHandle(form);
  SetStyle(label, label->Style | SS_SUNKEN);
  EXPECT_TRUE(StyleOf(label->Window) & SS_SUNKEN);
  SetStyle(form, form->Style & ~static_cast<uint32_t>(WS_MAXIMIZEBOX));
  EXPECT_FALSE(StyleOf(form->Window) & WS_MAXIMIZEBOX);
}

TEST_F(TWidgetTest, MenuHandleIsPassedAtCreationOrSetOnTheWindow) {
  TWidget* early = Keep(MakeForm(nullptr, "Early"));
  HMENU first = CreateMenu();
  AppendMenuA(first, MF_STRING, 100, "First");
  SetMenuHandle(early, first);
  GetHandle(early);
  EXPECT_EQ(GetMenu(early->Window), first);

  HMENU second = CreateMenu();
  SetMenuHandle(early, second);
  EXPECT_EQ(GetMenu(early->Window), second);
  EXPECT_FALSE(IsMenu(first)) << "the old menu is destroyed";
}

TEST_F(TWidgetTest, FontsAreMadeOnDemandAndCopiedIntoChildren) {
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TWidget* before = MakeLabel(form, "no font yet");
  EXPECT_EQ(form->Font, nullptr);
  TDrawTool* font = GetFont(form);
  EXPECT_EQ(GetFont(form), font);
  EXPECT_EQ(font->FaceName, "MS Sans Serif");
  EXPECT_EQ(font->Color, form->InkColor);
  SetFontHeight(font, -11);
  EXPECT_EQ(font->Handle, nullptr) << "nothing made while the form has no window";

  TWidget* after = MakeLabel(form, "copy");
  ASSERT_NE(after->Font, nullptr);
  EXPECT_NE(after->Font, font);
  EXPECT_EQ(after->Font->FontData.Height, -11);
  EXPECT_EQ(before->Font, nullptr);

  GetHandle(form);
  auto applied = reinterpret_cast<HFONT>(SendMessageA(after->Window, WM_GETFONT, 0, 0));
  ASSERT_NE(applied, nullptr);
  EXPECT_EQ(applied, after->Font->Handle);
  LOGFONTA description{};
  GetObjectA(applied, sizeof(description), &description);
  EXPECT_EQ(description.lfHeight, -11);
  EXPECT_EQ(description.lfWeight, FW_NORMAL);
  EXPECT_STREQ(description.lfFaceName, "MS Sans Serif");

  SetFontStyle(after->Font, kFontBold);
  applied = reinterpret_cast<HFONT>(SendMessageA(after->Window, WM_GETFONT, 0, 0));
  GetObjectA(applied, sizeof(description), &description);
  EXPECT_EQ(description.lfWeight, FW_BOLD) << "a change is applied at once";
  SetFontColor(after->Font, 0x0000FF);
  EXPECT_EQ(after->InkColor, 0x0000FF);
}

TEST_F(TWidgetTest, IconsComeFromTheMainWidget) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  TWidget* other = Keep(MakeForm(nullptr, "Other"));
  EXPECT_EQ(GetIcon(other), nullptr) << "no main widget";
  MainWidget = main;
  // The program has no "MAINICON": no icon anywhere.
  EXPECT_EQ(GetIcon(main), nullptr);
  EXPECT_EQ(GetIcon(other), nullptr);
  other->BigIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(-1));
  EXPECT_EQ(GetIcon(other), nullptr);
  HICON shared = LoadIconA(nullptr, IDI_APPLICATION);
  main->BigIcon = shared;
  main->BigIconShared = true;
  EXPECT_EQ(GetIcon(main), shared);
  TWidget* third = Keep(MakeForm(nullptr, "Third"));
  HICON copy = GetIcon(third);
  EXPECT_NE(copy, nullptr);
  EXPECT_NE(copy, shared);
  EXPECT_EQ(GetIcon(third), copy) << "kept";
}

}  // namespace
