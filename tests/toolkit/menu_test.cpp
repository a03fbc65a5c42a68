#include "toolkit/widgets/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_fixture.h"

namespace {

using TMenuTest = GuiTest;
using TLog = std::vector<std::string>;

// Read before any test runs: the counter's value at program start.
const int32_t kCounterAtStart = NextMenuCommand;

// The program's two menus, with plain stand-ins for their captions.
const char* const kMenuBar[] = {"File", "(", "Exit", ")", "About...", ""};
const char* const kPreviewPopup[] = {"Save...", "Copy", ""};

// The items of a menu as text: "Text:id", "*" checked, "!" radio, "@X" the
// top hex digit of the item data, "{...}" a sub-menu, "-" a separator.
std::string DumpMenu(HMENU menu) {
  std::string out;
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    GetMenuItemInfoA(menu, i, TRUE, &info);
    if (i > 0) out += " ";
    if (info.fType & MFT_SEPARATOR) {
      out += info.fState == (MFS_DISABLED | MFS_GRAYED) && info.wID == 0 ? "-" : "-?";
      continue;
    }
    out += std::string(text) + ":" + std::to_string(info.wID);
    if (info.fState & MFS_CHECKED) out += "*";
    if (info.fType & MFT_RADIOCHECK) out += "!";
    if (info.dwItemData) out += "@" + std::string(1, "0123456789ABCDEF"[info.dwItemData >> 28]);
    if (info.hSubMenu) out += "{" + DumpMenu(info.hSubMenu) + "}";
  }
  return out;
}

// Levels recorded for the items, in item order.
std::vector<uintptr_t> ItemLevels(const TMenuNode* menu) {
  std::vector<uintptr_t> levels;
  for (int32_t i = 1; i < menu->ItemHandles->Count; i += 2) {
    levels.push_back(reinterpret_cast<uintptr_t>(menu->ItemHandles->ItemAt(i)) >> 24);
  }
  return levels;
}

TEST_F(TMenuTest, MenusBuiltInSequenceTakeConsecutiveIdentifiers) {
  EXPECT_EQ(kCounterAtStart, 4096);
  NextMenuCommand = 4096;
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  TMenuNode* bar = MakeMenu(form, 0, kMenuBar, 5, {});
  TMenuNode* popup = MakeMenu(form, 0, kPreviewPopup, 2, {});

  EXPECT_EQ(bar->FirstCommand, 4096);
  EXPECT_EQ(bar->EndCommand, 4099);
  EXPECT_EQ(popup->FirstCommand, 4099);
  EXPECT_EQ(popup->EndCommand, 4101);
  EXPECT_EQ(NextMenuCommand, 4101);
  EXPECT_EQ(DumpMenu(bar->Handle), "File:4096{Exit:4097} About...:4098")
      << "an item with a sub-menu has an identifier too";
  EXPECT_EQ(DumpMenu(popup->Handle), "Save...:4099 Copy:4100");

  // The first menu is the form's bar; the second a pop-up chained after it.
  EXPECT_EQ(form->FirstMenu, bar);
  EXPECT_EQ(bar->NextMenu, popup);
  EXPECT_EQ(popup->NextMenu, nullptr);
  EXPECT_EQ(form->MenuOrId, reinterpret_cast<uintptr_t>(bar->Handle));
  EXPECT_EQ(popup->Owner, form);
  EXPECT_EQ(GetHandle(form), form->Window);
  EXPECT_EQ(GetMenu(form->Window), bar->Handle) << "the window is created with its bar";
  EXPECT_EQ(popup->PopupFlags, 0u);

  // Where each item lives: File and About in the bar, Exit in File's menu.
  HMENU fileMenu = GetSubMenu(bar->Handle, 0);
  ASSERT_EQ(bar->ItemHandles->Count, 6);
  EXPECT_EQ(bar->ItemHandles->ItemAt(0), bar->Handle);
  EXPECT_EQ(bar->ItemHandles->ItemAt(2), fileMenu);
  EXPECT_EQ(bar->ItemHandles->ItemAt(4), bar->Handle);
  EXPECT_EQ(ItemLevels(bar), (std::vector<uintptr_t>{0, 1, 0}));

  // A given first command leaves the counter alone, unless it is the
  // counter's own value.
  TMenuNode* fixed = MakeMenu(form, 200, kPreviewPopup, 2, {});
  EXPECT_EQ(fixed->FirstCommand, 200);
  EXPECT_EQ(NextMenuCommand, 4101);
  TMenuNode* atCounter = MakeMenu(form, 4101, kPreviewPopup, 2, {});
  EXPECT_EQ(atCounter->FirstCommand, 4101);
  EXPECT_EQ(NextMenuCommand, 4103);
  EXPECT_EQ(MakeMenu(form, -5, kPreviewPopup, 2, {})->FirstCommand, 4103);
}

TEST_F(TMenuTest, MenuBarOfAFormWithAWindowIsSetAtOnce) {
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  HWND window = GetHandle(form);
  TMenuNode* bar = MakeMenu(form, 0, kMenuBar, 5, {});
  EXPECT_EQ(GetMenu(window), bar->Handle);

  // A control's first menu is a pop-up and keeps the control's identifier.
  TWidget* box = MakePaintBox(form);
  uintptr_t id = box->MenuOrId;
  TMenuNode* own = MakeMenu(box, 0, kPreviewPopup, 2, {});
  EXPECT_EQ(box->FirstMenu, own);
  EXPECT_EQ(box->MenuOrId, id);
  EXPECT_EQ(GetMenu(window), bar->Handle);
  EXPECT_TRUE(IsMenu(own->Handle));
  EXPECT_EQ(GetMenuItemCount(own->Handle), 2);
}

TEST_F(TMenuTest, TemplateGrammar) {
  const char* const separated[] = {"A", "-", "B", ""};
  const char* const nested[] = {"A", "(", "B", "(", "C", ")", "D", ")", "E"};
  const char* const marks[] = {"+Check", "-Uncheck", "+!R1", "-!R2", "!Bang", "+", "Plain"};
  const char* const closedEarly[] = {"A", ")", "B"};
  const char* const nullEnd[] = {"A", nullptr, "B"};
  const char* const cutByHighIndex[] = {"A", "B", "C"};
  const char* const unclosed[] = {"A", "(", "B"};
  const char* const emptySub[] = {"A", "(", ")", "B"};
  const char* const afterSeparator[] = {"-", "(", "X", ")", "Y"};
  struct TCase {
    const char* const* Items;
    int32_t HighIndex;
    const char* Expected;
    std::vector<uintptr_t> Levels;
  } cases[] = {
      {separated, 3, "A:100 - B:101", {0, 0}},
      {nested, 8, "A:100{B:101{C:102} D:103} E:104", {0, 1, 2, 1, 0}},
      {marks,
       6,
       "Check:100*@4 Uncheck:101@4 R1:102*!@C R2:103!@C !Bang:104 :105*@4 Plain:106",
       {0, 0, 0, 0, 0, 0, 0}},
      {closedEarly, 2, "A:100", {0}},
      {nullEnd, 2, "A:100", {0}},
      {cutByHighIndex, 1, "A:100 B:101", {0, 0}},
      {unclosed, 2, "A:100{B:101}", {0, 1}},
      {emptySub, 3, "A:100{} B:101", {0, 0}},
      // Only items open sub-menus: after a separator "(" is an item.
      {afterSeparator, 4, "- (:100 X:101", {0, 0}},
  };
  int32_t counter = NextMenuCommand;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Expected);
    TWidget* form = Keep(MakeForm(nullptr, "Host"));
    TMenuNode* menu = MakeMenu(form, 100, c.Items, c.HighIndex, {});
    EXPECT_EQ(DumpMenu(menu->Handle), c.Expected);
    EXPECT_EQ(ItemLevels(menu), c.Levels);
    EXPECT_EQ(menu->EndCommand, 100 + static_cast<int32_t>(c.Levels.size()));
  }
  EXPECT_EQ(NextMenuCommand, counter);

  // An empty template makes an empty menu; a null first entry none at all.
  const char* const empty[] = {""};
  const char* const none[] = {nullptr};
  TWidget* form = Keep(MakeForm(nullptr, "Host"));
  TMenuNode* emptyMenu = MakeMenu(form, 0, empty, 0, {});
  EXPECT_TRUE(IsMenu(emptyMenu->Handle));
  EXPECT_EQ(GetMenuItemCount(emptyMenu->Handle), 0);
  TMenuNode* noMenu = MakeMenu(form, 0, none, 0, {});
  EXPECT_EQ(noMenu->Handle, nullptr);
  EXPECT_EQ(noMenu->EndCommand, noMenu->FirstCommand);
  EXPECT_EQ(NextMenuCommand, counter);
}

// Item handlers log their name, the menu and the index.
struct TItemLog {
  const char* Name;
};
std::vector<const TMenuNode*> g_menusSeen;
void LogItem(TItemLog* log, TMenuNode* menu, int32_t index) {
  EventLog.push_back(std::string(log->Name) + " " + std::to_string(index));
  g_menusSeen.push_back(menu);
}

// Older than the menu handler: sees the commands it leaves alone.
bool LogPassedOn(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == WM_COMMAND) EventLog.push_back("passed on");
  return false;
}

TEST_F(TMenuTest, CommandsRunTheItemHandlerOfTheirMenu) {
  NextMenuCommand = 4096;
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  TWidget* button = MakeButton(form, "B");
  AttachHandler(form, &LogPassedOn);
  TMenuNode* bar = MakeMenu(form, 0, kMenuBar, 5, {});
  TMenuNode* popup = MakeMenu(form, 0, kPreviewPopup, 2, {});
  TItemLog exitLog{"exit"}, aboutLog{"about"}, saveLog{"save"}, copyLog{"copy"};
  const TMenuItemEvent barHandlers[] = {TMenuItemEvent::Bind<&LogItem>(&exitLog),
                                        TMenuItemEvent::Bind<&LogItem>(&aboutLog)};
  SetItemHandlers(bar, 1, barHandlers, 1);
  const TMenuItemEvent popupHandlers[] = {TMenuItemEvent::Bind<&LogItem>(&saveLog),
                                          TMenuItemEvent::Bind<&LogItem>(&copyLog)};
  SetItemHandlers(popup, 0, popupHandlers, 1);
  EXPECT_EQ(bar->ItemHandlers->Count, 6) << "grown with an empty pair for item 0";
  HWND window = GetHandle(form);
  GetHandle(button);

  struct TCase {
    WPARAM WParam;
    LPARAM LParam;
    const char* Expected;
    const TMenuNode* Menu;
  } cases[] = {
      {MAKEWPARAM(4097, 0), 0, "exit 1", bar},
      {MAKEWPARAM(4098, 1), 0, "about 2", bar},  // from an accelerator
      {MAKEWPARAM(4099, 0), 0, "save 0", popup},
      {MAKEWPARAM(4100, 0), 0, "copy 1", popup},
      {MAKEWPARAM(4096, 0), 0, nullptr, nullptr},  // handled, no handler
      {MAKEWPARAM(4100, 0), reinterpret_cast<LPARAM>(button->Window), "passed on", nullptr},
      {MAKEWPARAM(4097, 2), 0, "passed on", nullptr},
      {MAKEWPARAM(4095, 0), 0, "passed on", nullptr},
      {MAKEWPARAM(4101, 0), 0, "passed on", nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.WParam);
    EventLog.clear();
    g_menusSeen.clear();
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, c.WParam, c.LParam), 0);
    EXPECT_EQ(EventLog, c.Expected ? TLog{c.Expected} : TLog{});
    EXPECT_EQ(g_menusSeen,
              c.Menu ? std::vector<const TMenuNode*>{c.Menu} : std::vector<const TMenuNode*>{});
  }
  EXPECT_EQ(bar->ItemChosen, 1);
  EXPECT_EQ(popup->ItemChosen, 1);
}

TEST_F(TMenuTest, ItemsWithoutAHandlerOfTheirOwnRunTheDefaultOne) {
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  TItemLog fallback{"default"}, own{"own"};
  const char* const items[] = {"A", "B", "C"};
  TMenuNode* menu = MakeMenu(form, 300, items, 2, TMenuItemEvent::Bind<&LogItem>(&fallback));
  const TMenuItemEvent handlers[] = {TMenuItemEvent::Bind<&LogItem>(&own)};
  SetItemHandlers(menu, 1, handlers, 0);
  EXPECT_EQ(menu->ItemChosen, 0);
  for (int id = 300; id < 303; ++id)
    SendToWidget(form, WM_COMMAND, id, 0);
  EXPECT_EQ(EventLog, (TLog{"default 0", "own 1", "default 2"}));
  EXPECT_EQ(menu->ItemChosen, 1);
}

// "R:100 C:0 S:01": the check states of the radio run, the check item and
// the second radio run.
std::string CheckStates(const TMenuNode* menu) {
  std::string out;
  for (int32_t i = 0; i < 7; ++i) {
    if (i == 0) out += "R:";
    if (i == 3) out += " C:";
    if (i == 4) out += " P:";
    if (i == 5) out += " S:";
    UINT state = GetMenuState(menu->Handle, menu->FirstCommand + i, MF_BYCOMMAND);
    out += (state & MF_CHECKED) ? "1" : "0";
  }
  return out;
}

TEST_F(TMenuTest, RadioItemsCheckOnlyThemselvesAndCheckItemsToggle) {
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  const char* const items[] = {"+!R1", "-!R2", "-!R3", "-Check", "Plain", "-!S1", "+!S2"};
  TMenuNode* menu = MakeMenu(form, 500, items, 6, {});
  EXPECT_EQ(CheckStates(menu), "R:100 C:0 P:0 S:01");
  struct TStep {
    int32_t Index;
    const char* Expected;
  } steps[] = {
      {2, "R:001 C:0 P:0 S:01"}, {1, "R:010 C:0 P:0 S:01"}, {1, "R:010 C:0 P:0 S:01"},
      {3, "R:010 C:1 P:0 S:01"}, {3, "R:010 C:0 P:0 S:01"}, {3, "R:010 C:1 P:0 S:01"},
      {4, "R:010 C:1 P:0 S:01"}, {5, "R:010 C:1 P:0 S:10"},
  };
  for (const TStep& step : steps) {
    SendToWidget(form, WM_COMMAND, MAKEWPARAM(500 + step.Index, 0), 0);
    EXPECT_EQ(CheckStates(menu), step.Expected) << "after choosing item " << step.Index;
  }
}

void SetFlag(bool* flag, TBaseObject*) {
  *flag = true;
}

TEST_F(TMenuTest, MenusGoWithTheirOwner) {
  for (bool withWindow : {true, false}) {
    SCOPED_TRACE(withWindow ? "window" : "no window");
    TWidget* form = MakeForm(nullptr, "Main");
    TWidget* box = MakePaintBox(form);
    TMenuNode* bar = MakeMenu(form, 0, kMenuBar, 5, {});
    TMenuNode* popup = MakeMenu(form, 0, kPreviewPopup, 2, {});
    TMenuNode* boxMenu = MakeMenu(box, 0, kPreviewPopup, 2, {});
    SetContextMenu(box, popup);
    bool gone[3] = {};
    bar->DestroyEvent = TObjectEvent::Bind<&SetFlag>(&gone[0]);
    popup->DestroyEvent = TObjectEvent::Bind<&SetFlag>(&gone[1]);
    boxMenu->DestroyEvent = TObjectEvent::Bind<&SetFlag>(&gone[2]);
    HMENU handles[] = {bar->Handle, GetSubMenu(bar->Handle, 0), popup->Handle, boxMenu->Handle};
    if (withWindow) GetHandle(form);
    Free(form);
    EXPECT_TRUE(gone[0] && gone[1] && gone[2]);
    for (HMENU handle : handles)
      EXPECT_FALSE(IsMenu(handle));
  }
}

TEST_F(TMenuTest, AMenuFreedAloneLeavesItsOwnerAndChain) {
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  TWidget* box = MakePaintBox(form);
  TMenuNode* bar = MakeMenu(form, 0, kMenuBar, 5, {});
  TMenuNode* popup = MakeMenu(form, 0, kPreviewPopup, 2, {});
  TMenuNode* last = MakeMenu(form, 0, kPreviewPopup, 2, {});
  SetContextMenu(form, popup);
  SetContextMenu(box, last);
  HWND window = GetHandle(form);
  HMENU popupHandle = popup->Handle;

  Free(popup);
  EXPECT_FALSE(IsMenu(popupHandle));
  EXPECT_EQ(bar->NextMenu, last);
  EXPECT_EQ(form->ContextMenu, nullptr);

  HMENU barHandle = bar->Handle;
  Free(bar);
  EXPECT_FALSE(IsMenu(barHandle));
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_EQ(form->MenuOrId, 0u);
  EXPECT_EQ(form->FirstMenu, last);
  // The rest still works.
  EXPECT_EQ(SendMessageA(window, WM_COMMAND, last->FirstCommand, 0), 0);
  EXPECT_EQ(last->ItemChosen, 1);
}

// A pop-up menu opens over a widget other than its owner; freed on its own,
// it must leave no dangling link in that widget.
TEST_F(TMenuTest, AMenuFreedAloneLeavesTheWidgetItOpensOver) {
  for (bool rebound : {false, true}) {
    SCOPED_TRACE(rebound ? "bound again to another menu" : "still bound");
    TWidget* form = Keep(MakeForm(nullptr, "Main"));
    TWidget* box = MakePaintBox(form);
    TMenuNode* popup = MakeMenu(form, 0, kPreviewPopup, 2, {});
    TMenuNode* other = MakeMenu(form, 0, kPreviewPopup, 2, {});
    SetContextMenu(box, popup);
    if (rebound) SetContextMenu(box, other);
    Free(popup);
    EXPECT_EQ(box->ContextMenu, rebound ? other : nullptr);
  }
}

}  // namespace
