#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/dialog_driver.h"
#include "gui_fixture.h"
#include "toolkit/widgets/menu.h"

namespace {

using TPopupMenuTest = GuiTest;
using TLog = std::vector<std::string>;

void LogItem(char* name, TMenuNode*, int32_t index) {
  EventLog.push_back(std::string(name) + " " + std::to_string(index));
}

bool LogFormCommand(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == WM_COMMAND) EventLog.push_back("form " + std::to_string(message.WParam));
  return false;
}

bool LogBoxCommand(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == WM_COMMAND) EventLog.push_back("box command");
  return false;
}

TEST_F(TPopupMenuTest, ContextMenuOpensAtThePointAndRunsItsItemOnTheOwner) {
  TWidget* form = Keep(MakeForm(nullptr, "Main"));
  SizeTo(PlaceAt(form, 100, 100), 400, 300);
  TWidget* box = SizeTo(PlaceAt(MakePaintBox(form), 20, 30), 200, 150);
  const char* const bar[] = {"File", "(", "Exit", ")", ""};
  const char* const popupItems[] = {"Save...", "Copy", ""};
  MakeMenu(form, 0, bar, 4, {});
  TMenuNode* popup = MakeMenu(form, 0, popupItems, 2, {});
  char saveName[] = "save", copyName[] = "copy";
  const TMenuItemEvent handlers[] = {TMenuItemEvent::Bind<&LogItem>(saveName),
                                     TMenuItemEvent::Bind<&LogItem>(copyName)};
  SetItemHandlers(popup, 0, handlers, 1);
  SetContextMenu(box, popup);
  AttachHandler(form, &LogFormCommand);
  AttachHandler(box, &LogBoxCommand);
  Show(form);
  GetHandle(form);
  PumpQueued();
  POINT clicked = {5, 6};
  ClientToScreen(box->Window, &clicked);

  enum TWay { kRightClick, kAtPoint, kKeyboard };
  struct TCase {
    TWay Way;
    int Downs;  // the first Down selects item 0
    const char* Expected;
  } cases[] = {
      {kRightClick, 2, "copy 1"},
      {kAtPoint, 1, "save 0"},
      {kKeyboard, 2, "copy 1"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Way);
    EventLog.clear();
    DriverMisses.clear();
    RECT shown = {};
    WhenFound("pop-up menu", &FindPopupMenu, [&](HWND menu) {
      GetWindowRect(menu, &shown);
      for (int i = 0; i < c.Downs; ++i)
        PostKey(menu, VK_DOWN);
      PostKey(menu, VK_RETURN);
    });
    POINT expected = {300, 200};
    switch (c.Way) {
      case kRightClick:
        PostMessageA(box->Window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
        PostMessageA(box->Window, WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
        expected = clicked;
        break;
      case kAtPoint:
        SendMessageA(box->Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Window),
                     MAKELPARAM(300, 200));
        break;
      case kKeyboard:
        SendMessageA(box->Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Window),
                     MAKELPARAM(-1, -1));
        // The menu is asked for at (-1, -1); both Windows and Wine move a
        // menu that would leave the screen back onto it.
        expected = {0, 0};
        break;
    }
    PumpQueued();  // the chosen item's command was posted to the owner
    EXPECT_EQ(DriverMisses, TLog{});
    EXPECT_EQ(shown.left, expected.x);
    EXPECT_EQ(shown.top, expected.y);
    std::string command = "form " + std::to_string(popup->FirstCommand + c.Downs - 1);
    EXPECT_EQ(EventLog, (TLog{command, c.Expected})) << "on the owner, not on the box";
  }
}

}  // namespace
