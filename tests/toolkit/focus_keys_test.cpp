// Tests that need the focus or simulated input: they run one at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_fixture.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/message_loop.h"
#include "toolkit/widgets/widget.h"

namespace {

using TFocusTest = GuiTest;
using TLog = std::vector<std::string>;

// A multi-line edit control, which types a Tab character when it gets one.
TWidget* MakeTypingBox(TWidget* parent) {
  TWidget* box = MakeControl(parent, "EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE,
                             PlainKindTable(), true);
  return SizeTo(box, 200, 60);
}

void Type(HWND window, const std::string& characters) {
  for (char c : characters)
    PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
  PumpQueued();
}

void PressKey(WORD key, bool withAlt = false) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD k, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = k;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  if (withAlt) add(VK_MENU, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (withAlt) add(VK_MENU, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  // Input arrives asynchronously through the server.
  for (int i = 0; i < 20; ++i) {
    Sleep(10);
    PumpQueued();
  }
}

TEST_F(TFocusTest, TabIsNeverTypedIntoAControl) {
  TWidget* form = Keep(MakeForm(nullptr, "Keys"));
  TWidget* box = MakeTypingBox(form);
  ShowNow(form);
  SetForegroundWindow(form->Window);
  ASSERT_TRUE(SetFocusTo(box));
  ASSERT_EQ(GetFocus(), box->Window);

  Type(box->Window, "a\tb");
  EXPECT_EQ(GetText(box), "ab");

  PressKey(VK_TAB);
  EXPECT_EQ(GetText(box), "ab") << "a real Tab key press";
  EXPECT_EQ(GetFocus(), box->Window);

  // Control-key combinations go to default processing, Tab included.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Type(box->Window, "\t");
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetText(box), "ab\t");
}

TEST_F(TFocusTest, KeysForAControlWithoutTheFocusAreDropped) {
  TWidget* form = Keep(MakeForm(nullptr, "Keys"));
  TWidget* box = MakeTypingBox(form);
  TWidget* button = MakeButton(form, "B");
  ShowNow(form);
  SetForegroundWindow(form->Window);
  ASSERT_TRUE(SetFocusTo(button));
  Type(box->Window, "lost");
  EXPECT_EQ(GetText(box), "");
  SetFocusTo(box);
  Type(box->Window, "kept");
  EXPECT_EQ(GetText(box), "kept");
}

TEST_F(TFocusTest, FocusGoesToTheFormsFocusedChild) {
  TWidget* form = Keep(MakeForm(nullptr, "Focus"));
  TWidget* label = MakeLabel(form, "L");
  TWidget* first = MakeButton(form, "first");
  TWidget* second = MakeButton(form, "second");
  TWidget* disabled = MakeButton(form, "disabled");
  SetEnabled(disabled, false);
  EXPECT_EQ(form->FocusedChild, first);
  ShowNow(form);
  SetForegroundWindow(form->Window);
  EXPECT_EQ(GetFocus(), first->Window) << "the form passes its focus on";

  EXPECT_FALSE(SetFocusTo(label));
  EXPECT_FALSE(SetFocusTo(disabled));
  EXPECT_TRUE(SetFocusTo(second));
  EXPECT_EQ(GetFocus(), second->Window);
  EXPECT_EQ(form->FocusedChild, second) << "the control told its form";
  EXPECT_EQ(second->FocusGuard, 0);

  SetFocus(form->Window);
  EXPECT_EQ(GetFocus(), second->Window);
}

void CloseWithOk(TWidget* dialog, TWidget*) {
  dialog->ModalOutcome = 1;
  Hide(dialog);
}

TEST_F(TFocusTest, AModalFormGivesTheFocusBackWhenItEnds) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  MakeButton(main, "first");
  TWidget* second = MakeButton(main, "second");
  TWidget* dialog = MakeForm(main, "Dialog");
  Hide(dialog);
  TWidget* ok = MakeButton(dialog, "OK");
  ok->ClickEvent = TNotifyEvent::Bind<&CloseWithOk>(dialog);
  MainWidget = main;
  ShowNow(main);
  SetForegroundWindow(main->Window);
  ASSERT_TRUE(SetFocusTo(second));

  HWND focusInside = nullptr;
  RunLater(10, [&] {
    focusInside = GetFocus();
    SendMessageA(ok->Window, BM_CLICK, 0, 0);
  });
  RunModal(dialog);
  EXPECT_EQ(focusInside, ok->Window) << "the modal form passes its focus to its control";
  EXPECT_EQ(GetFocus(), second->Window);
  EXPECT_EQ(main->FocusedChild, second);

  // The hidden form does not take the focus when the main form gets it.
  SetFocus(main->Window);
  EXPECT_EQ(GetFocus(), second->Window);
}

bool AnswerClose(TWidget*, TMessage& message, LRESULT& result) {
  if (message.Message != WM_CLOSE) return false;
  EventLog.push_back("WM_CLOSE");
  result = 0;
  return true;
}

TEST_F(TFocusTest, NoCloseClassStyleBlocksAltF4OnEveryForm) {
  TWidget* first = Keep(MakeForm(nullptr, "First"));
  TWidget* second = Keep(MakeForm(nullptr, "Second"));
  AttachHandler(second, &AnswerClose);
  ShowNow(first);
  ShowNow(second);
  SetForegroundWindow(second->Window);
  SetFocus(second->Window);
  ASSERT_EQ(GetFocus(), second->Window);

  PressKey(VK_F4, true);
  EXPECT_EQ(EventLog, TLog{"WM_CLOSE"}) << "Alt+F4 closes while the class allows it";

  EventLog.clear();
  SetClassStyle(first, first->ClassStyle | CS_NOCLOSE);
  EXPECT_TRUE(GetClassLongPtrA(second->Window, GCL_STYLE) & CS_NOCLOSE);
  PressKey(VK_F4, true);
  // The same through the message the key makes, for the windows made before
  // the change (Wine keeps their system menu's Close item enabled).
  PostMessageA(second->Window, WM_SYSKEYDOWN, VK_F4, 0x20000001);
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{}) << "no form of the class can be closed with Alt+F4";
  EXPECT_TRUE(IsWindowVisible(second->Window));
  // A WM_SYSCOMMAND SC_CLOSE sent directly still reaches WM_CLOSE in Wine:
  // the class style only takes the user's ways to ask for it.
  SetClassStyle(first, first->ClassStyle & ~static_cast<uint32_t>(CS_NOCLOSE));
}

}  // namespace
