// Controls driven like a user does: keys for the control with the focus and
// clicks at the points of items and scroll bars. One test at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_fixture.h"
#include "toolkit/widgets/list_controls.h"
#include "toolkit/widgets/scroll_box.h"

namespace {

using TInputTest = GuiTest;
using TLog = std::vector<std::string>;

TWidget* MakeShownForm() {
  TWidget* form = MakeForm(nullptr, "Input");
  PlaceAt(form, 40, 40);
  SizeTo(form, 420, 420);
  return form;
}

void ShowInFront(TWidget* form) {
  ShowNow(form);
  SetForegroundWindow(form->Window);
}

void Fill(TWidget* widget, std::initializer_list<const char*> texts) {
  for (const char* text : texts)
    AddItem(widget, text);
}

// What the event handler sees: the current item, its text, and whether the
// drop-down list is still open.
void LogChange(void*, TWidget* combo) {
  int32_t index = CurrentIndex(combo);
  EventLog.push_back("change: " + std::to_string(index) + " " + GetText(combo) +
                     (combo->DroppedDown ? " open" : ""));
}

void LogSelect(void*, TWidget* list) {
  EventLog.push_back("select " + std::to_string(CurrentIndex(list)));
}

LPARAM CenterOf(const RECT& r) {
  return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void Click(HWND window, LPARAM at, WPARAM keys = 0) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
  SendMessageA(window, WM_LBUTTONUP, keys, at);
}

HWND DropDownListOf(TWidget* combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  GetComboBoxInfo(combo->Window, &info);
  return info.hwndList;
}

// A click on the combo box opens its list; a click on an item chooses it.
void ChooseWithMouse(TWidget* combo, int32_t index) {
  RECT field;
  GetClientRect(combo->Window, &field);
  Click(combo->Window, CenterOf(field));
  HWND list = DropDownListOf(combo);
  RECT item;
  SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  Click(list, CenterOf(item));
}

TEST_F(TInputTest, ThePaletteBoxReportsEachKeyboardChangeOnceAfterIt) {
  TWidget* form = Keep(MakeShownForm());
  TWidget* combo = MakeComboBox(form, kPaletteBox);
  Fill(combo, {"Desert", "Temperat", "Snow"});
  combo->ChangeEvent.Routine = &LogChange;
  ShowInFront(form);
  ASSERT_TRUE(SetFocusTo(combo));
  PumpQueued();
  EventLog.clear();

  SendMessageA(combo->Window, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(EventLog, TLog{}) << "not inside the control's own notification";
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"change: 1 Temperat"});

  struct TStep {
    const char* Name;
    std::vector<WPARAM> Keys;
    TLog Events;
  } steps[] = {
      {"to the last", {VK_END}, {"change: 2 Snow"}},
      // The system notifies a change here, but the item stays.
      {"down on the last", {VK_DOWN}, {}},
      {"to the first", {VK_HOME}, {"change: 0 Desert"}},
      // Changes that pile up before the loop runs come as one, the last.
      {"two downs at once", {VK_DOWN, VK_DOWN}, {"change: 2 Snow"}},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    EventLog.clear();
    for (WPARAM key : step.Keys)
      PostMessageA(combo->Window, WM_KEYDOWN, key, 0);
    PumpQueued();
    EXPECT_EQ(EventLog, step.Events);
  }

  // The program's own choice is not reported; the user's next one is, even
  // of the item reported last.
  EventLog.clear();
  SetCurrentIndex(combo, 0);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{});
  SendMessageA(combo->Window, WM_KEYDOWN, VK_END, 0);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"change: 2 Snow"});
}

TEST_F(TInputTest, ThePaletteBoxReportsAMouseChoiceOnceAfterTheListCloses) {
  TWidget* form = Keep(MakeShownForm());
  TWidget* combo = MakeComboBox(form, kPaletteBox);
  Fill(combo, {"Desert", "Temperat", "Snow"});
  combo->ChangeEvent.Routine = &LogChange;
  combo->CloseUpEvent = LogEvent("closed");
  ShowInFront(form);
  SetFocusTo(combo);
  PumpQueued();
  EventLog.clear();

  ChooseWithMouse(combo, 2);
  EXPECT_EQ(EventLog, TLog{"closed"});
  PumpQueued();
  EXPECT_EQ(EventLog, (TLog{"closed", "change: 2 Snow"}));

  EventLog.clear();
  ChooseWithMouse(combo, 2);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"closed"}) << "the item already shown";

  EventLog.clear();
  SendMessageA(combo->Window, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageA(combo->Window, CB_SHOWDROPDOWN, FALSE, 0);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"closed"}) << "opened and closed without a choice";
}

// The heights the combo box's window is asked to take.
bool LogRequestedHeight(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message != WM_WINDOWPOSCHANGING) return false;
  auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
  if (!(pos->flags & SWP_NOSIZE)) EventLog.push_back("height " + std::to_string(pos->cy));
  return false;
}

TEST_F(TInputTest, TheDropDownListIsSizedForOneToEightRows) {
  TWidget* form = Keep(MakeShownForm());
  ShowInFront(form);
  struct TCase {
    int Items;
    int Rows;
  } cases[] = {{0, 1}, {3, 3}, {20, 8}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Items);
    TWidget* combo = MakeComboBox(form, kPaletteBox);
    for (int i = 0; i < c.Items; ++i)
      AddItem(combo, ("item " + std::to_string(i)).c_str());
    SetCurrentIndex(combo, c.Items > 2 ? 2 : -1);
    GetHandle(combo);
    AttachHandler(combo, &LogRequestedHeight);
    combo->DropDownHandler = LogEvent("drop-down handler");
    int field = GetHeight(combo);
    EventLog.clear();

    SendMessageA(combo->Window, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_FALSE(EventLog.empty());
    EXPECT_EQ(EventLog.front(), "height " + std::to_string(field * (c.Rows + 1) + 2));
    EXPECT_EQ(EventLog.back(), "drop-down handler");
    EXPECT_TRUE(combo->DroppedDown);
    EXPECT_EQ(combo->DropDownIndex, c.Items > 2 ? 2 : -1);
    EXPECT_EQ(GetHeight(combo), field) << "closed, the box keeps its field's height";
    HWND list = DropDownListOf(combo);
    RECT shown;
    GetClientRect(list, &shown);
    auto rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(shown.bottom, c.Rows * rowHeight) << "every row fits";

    SendMessageA(combo->Window, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(combo->DroppedDown);
  }
}

TEST_F(TInputTest, AListReportsTheUsersSelectionButNotTheProgramsOne) {
  TWidget* form = Keep(MakeShownForm());
  TWidget* sprites = MakeListBox(form, kSpriteList);
  TWidget* frames = PlaceAt(MakeListBox(form, kFrameList), 200, 2);
  Fill(sprites, {"a.shp", "b.shp", "c.shp"});
  Fill(frames, {"001", "002", "003", "004", "005"});
  sprites->SelectEvent.Routine = &LogSelect;
  frames->SelectEvent.Routine = &LogSelect;
  ShowInFront(form);
  EventLog.clear();

  SetCurrentIndex(sprites, 2);
  SelectItem(frames, 3, true);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{});

  auto itemPoint = [](TWidget* list, int32_t index) {
    RECT item;
    SendToWidget(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return CenterOf(item);
  };
  Click(sprites->Window, itemPoint(sprites, 1));
  Click(frames->Window, itemPoint(frames, 2), MK_CONTROL);
  EXPECT_EQ(EventLog, (TLog{"select 1", "select 2"})) << "the caret item";
  EXPECT_EQ((std::vector<bool>{IsItemSelected(frames, 0), IsItemSelected(frames, 2),
                               IsItemSelected(frames, 3)}),
            (std::vector<bool>{true, true, true}));

  EventLog.clear();
  ASSERT_TRUE(SetFocusTo(frames));
  SendMessageA(frames->Window, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(EventLog, TLog{"select 3"});
}

// Screen coordinates for absolute mouse input.
INPUT MouseAt(POINT at, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return input;
}

void DragWithMouse(POINT from, POINT to) {
  std::vector<INPUT> inputs = {MouseAt(from, 0), MouseAt(from, MOUSEEVENTF_LEFTDOWN)};
  for (int step = 1; step <= 4; ++step) {
    POINT at = {from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4};
    inputs.push_back(MouseAt(at, 0));
  }
  inputs.push_back(MouseAt(to, MOUSEEVENTF_LEFTUP));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  for (int i = 0; i < 30; ++i) {
    Sleep(10);
    PumpQueued();
  }
}

TWidget* g_scrolledChild = nullptr;

// Runs before the scroll handler: the child as the previous request left it.
bool LogScrollRequests(TWidget* box, TMessage& message, LRESULT&) {
  if (message.Message != WM_HSCROLL) return false;
  const char* names[] = {"line up", "line down", "page up", "page down", "position",
                         "track",   "top",       "bottom",  "end"};
  WORD code = LOWORD(message.WParam);
  EventLog.push_back(std::string(code < 9 ? names[code] : "other") + " at " +
                     std::to_string(GetScrollPos(box->Window, SB_HORZ)) + ", child at " +
                     std::to_string(GetBounds(g_scrolledChild).left));
  return false;
}

TEST_F(TInputTest, DraggingTheThumbMovesTheContentWhileTracking) {
  TWidget* form = Keep(MakeShownForm());
  TWidget* box = SizeTo(MakeScrollBox(form, kScrollEdgeClient), 260, 280);
  box->Spacing = 0;
  TWidget* child = SizeTo(PlaceAt(MakePaintBox(box), 0, 0), 600, 200);
  g_scrolledChild = child;
  ShowInFront(form);
  AttachHandler(box, &LogScrollRequests);
  EventLog.clear();

  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  ASSERT_TRUE(GetScrollBarInfo(box->Window, OBJID_HSCROLL, &bar));
  POINT thumb = {bar.rcScrollBar.left + (bar.xyThumbTop + bar.xyThumbBottom) / 2,
                 (bar.rcScrollBar.top + bar.rcScrollBar.bottom) / 2};
  DragWithMouse(thumb, {thumb.x + 60, thumb.y});

  int pos = GetScrollPos(box->Window, SB_HORZ);
  EXPECT_GT(pos, 0);
  EXPECT_EQ(GetBounds(child).left, -pos);
  std::string atEnd = " at " + std::to_string(pos) + ", child at " + std::to_string(-pos);
  ASSERT_GE(EventLog.size(), 3u);
  EXPECT_EQ(EventLog.front().substr(0, 5), "track");
  EXPECT_EQ(EventLog[EventLog.size() - 2], "position" + atEnd) << "the tracking moved it";
  EXPECT_EQ(EventLog.back(), "end" + atEnd);
}

}  // namespace
