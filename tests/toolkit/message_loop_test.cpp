#include "toolkit/widgets/message_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_fixture.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/base/main_window.h"

namespace {

using TLoopTest = GuiTest;
using TLog = std::vector<std::string>;

bool LogClose(TWidget*, TMessage& message, LRESULT&) {
  if (message.Message == WM_CLOSE) EventLog.push_back("WM_CLOSE");
  return false;
}

TEST_F(TLoopTest, ClosingTheMainFormEndsTheRunAndOnlyThenFreesIt) {
  TWidget* form = MakeForm(nullptr, "Main");
  TWidget* button = MakeButton(form, "B");
  bool gone = false;
  WatchDestroy(form, &gone);
  AttachHandler(form, &LogClose);
  GetHandle(form);  // as the program does, to own its dialogs
  HWND window = form->Window;
  EXPECT_FALSE(IsWindowVisible(window));

  struct TSeen {
    bool visible = false, buttonVisible = false, running = false, mainWindow = false;
    LRESULT closeResult = -5;
    bool windowAfterClose = false, quitAfterClose = true;
  } seen;
  RunLater(10, [&] {
    seen.visible = IsWindowVisible(window);
    seen.buttonVisible = IsWindowVisible(button->Window);
    seen.running = RunDepth == 1 && MainWidget == form;
    seen.mainWindow = AppMainWindow() == window;
    seen.closeResult = SendMessageA(window, WM_CLOSE, 0, 0);
    seen.windowAfterClose = IsWindow(window) && IsWindowVisible(window) && !gone;
    seen.quitAfterClose = QuitRequested;
  });
  TWidget* variable = form;
  RunMainLoop(variable);

  EXPECT_TRUE(seen.visible) << "the loop shows the form";
  EXPECT_TRUE(seen.buttonVisible);
  EXPECT_TRUE(seen.running);
  EXPECT_TRUE(seen.mainWindow) << "the clipboard owner is the main window";
  EXPECT_EQ(seen.closeResult, 0);
  EXPECT_TRUE(seen.windowAfterClose) << "WM_CLOSE only asks the loop to end";
  EXPECT_FALSE(seen.quitAfterClose) << "the quit message is still queued";

  EXPECT_EQ(variable, nullptr);
  EXPECT_TRUE(gone);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(MainWidget, nullptr);
  EXPECT_EQ(AppMainWindow(), nullptr);
  EXPECT_EQ(RunDepth, 0);
  EXPECT_TRUE(QuitRequested);
  EXPECT_EQ(EventLog, (TLog{"WM_CLOSE", "WM_CLOSE"})) << "the user's and EndMainLoop's";
}

TEST_F(TLoopTest, RequestCloseAndSessionEndEndTheRun) {
  for (bool sessionEnd : {false, true}) {
    SetUp();
    TWidget* form = MakeForm(nullptr, "Main");
    bool gone = false;
    WatchDestroy(form, &gone);
    bool freedAtOnce = false;
    RunLater(10, [&] {
      if (sessionEnd) {
        SendMessageA(form->Window, WM_ENDSESSION, TRUE, 0);
        freedAtOnce = gone && MainWidget == nullptr;
      } else {
        RequestClose(form);
      }
    });
    TWidget* variable = form;
    RunMainLoop(variable);
    EXPECT_TRUE(gone) << sessionEnd;
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(freedAtOnce, sessionEnd);
  }
}

TEST_F(TLoopTest, ASecondTopFormClosesTheMainOneAndMinimisesIt) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  TWidget* other = Keep(MakeForm(nullptr, "Other"));
  AttachHandler(main, [](TWidget*, TMessage& message, LRESULT& result) {
    if (message.Message == WM_SYSCOMMAND) {
      EventLog.push_back("main minimise " + std::to_string(message.WParam == SC_MINIMIZE));
      result = 0;
      return true;
    }
    return LogClose(nullptr, message, result);
  });
  MainWidget = main;
  GetHandle(main);
  GetHandle(other);
  EXPECT_TRUE(IsTopForm(other));

  SendMessageA(other->Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsIconic(other->Window));
  PumpQueued();
  EXPECT_EQ(EventLog, TLog{"main minimise 1"});

  EventLog.clear();
  EXPECT_EQ(SendMessageA(other->Window, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(EventLog, TLog{"WM_CLOSE"}) << "the main form was asked to close";
  EXPECT_TRUE(IsWindow(other->Window));
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(TLoopTest, OnlyTheMainFormAndItsFirstChildFormAreTopForms) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  TWidget* first = MakeForm(main, "First");
  TWidget* later = MakeForm(main, "Later");
  TWidget* control = MakeButton(main, "B");
  TWidget* grandchild = MakeForm(first, "Grandchild");
  EXPECT_TRUE(IsTopForm(main));
  EXPECT_TRUE(IsTopForm(first));
  EXPECT_FALSE(IsTopForm(later));
  EXPECT_FALSE(IsTopForm(control));
  EXPECT_FALSE(IsTopForm(grandchild));
}

TEST_F(TLoopTest, ClosingAnOrdinaryChildFormDestroysAndFreesIt) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  MakeLabel(main, "first child");
  TWidget* child = MakeForm(main, "Child");
  TWidget* label = MakeLabel(child, "inside");
  bool gone = false;
  WatchDestroy(child, &gone);
  MainWidget = main;
  GetHandle(main);
  HWND window = child->Window;
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindow(window, GW_OWNER), main->Window);
  (void)label;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(gone) << "its window went first, then the widget";
  EXPECT_EQ(main->Children->Count, 1);
}

// A main form with a modal child form; the modal form's OK button ends the
// modal loop the way the program's dialogs do.
struct TModalScene {
  TWidget* main;
  TWidget* first;
  TWidget* second;
  TWidget* alreadyDisabled;
  TWidget* dialog;
  TWidget* ok;
};

void CloseWithOk(TWidget* dialog, TWidget*) {
  dialog->ModalOutcome = 1;
  Hide(dialog);
}

TModalScene BuildModalScene() {
  TModalScene s;
  s.main = MakeForm(nullptr, "Main");
  s.first = MakeButton(s.main, "first");
  s.second = MakeButton(s.main, "second");
  s.alreadyDisabled = MakeButton(s.main, "disabled");
  SetEnabled(s.alreadyDisabled, false);
  s.dialog = MakeForm(s.main, "Dialog");
  Hide(s.dialog);
  s.ok = MakeButton(s.dialog, "OK");
  s.ok->ClickEvent = TNotifyEvent::Bind<&CloseWithOk>(s.dialog);
  MainWidget = s.main;
  Show(s.main);
  s.main->CreateWindowHandle();
  return s;
}

struct TModalSeen {
  bool othersDisabled = false;
  bool dialogShown = false;
};

TModalSeen LookAtModal(const TModalScene& s) {
  TModalSeen seen;
  seen.othersDisabled = !IsWindowEnabled(s.first->Window) && !IsWindowEnabled(s.second->Window) &&
                        !IsWindowEnabled(s.alreadyDisabled->Window) &&
                        IsWindowEnabled(s.dialog->Window) && IsWindowEnabled(s.main->Window);
  seen.dialogShown = IsWindowVisible(s.dialog->Window);
  return seen;
}

TEST_F(TLoopTest, AModalFormRunsUntilItsOutcomeIsSet) {
  TModalScene s = BuildModalScene();
  Keep(s.main);
  TModalSeen seen;
  RunLater(10, [&] {
    seen = LookAtModal(s);
    SendMessageA(s.ok->Window, BM_CLICK, 0, 0);
  });
  RunModal(s.dialog);
  EXPECT_TRUE(seen.othersDisabled);
  EXPECT_TRUE(seen.dialogShown);
  EXPECT_EQ(s.dialog->ModalOutcome, 1);
  EXPECT_FALSE(IsWindowVisible(s.dialog->Window)) << "hidden by its own handler";
  EXPECT_TRUE(IsWindowEnabled(s.first->Window));
  EXPECT_TRUE(IsWindowEnabled(s.second->Window));
  EXPECT_FALSE(IsWindowEnabled(s.alreadyDisabled->Window)) << "only what the loop disabled";
  EXPECT_EQ(s.dialog->HandlerChain->IndexOf(reinterpret_cast<void*>(&ModalCloseHandler)), -1);
}

TEST_F(TLoopTest, ClosingTheModalFormEndsItsLoopWithMinusOneAndLeavesItShown) {
  TModalScene s = BuildModalScene();
  Keep(s.main);
  TModalSeen seen;
  RunLater(10, [&] {
    seen = LookAtModal(s);
    PostMessageA(s.dialog->Window, WM_CLOSE, 0, 0);
  });
  RunModal(s.dialog);
  EXPECT_TRUE(seen.othersDisabled);
  EXPECT_EQ(s.dialog->ModalOutcome, -1);
  EXPECT_TRUE(IsWindow(s.dialog->Window));
  EXPECT_TRUE(IsWindowVisible(s.dialog->Window));
  EXPECT_TRUE(IsWindowEnabled(s.first->Window));
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit request";
}

TEST_F(TLoopTest, AQuitRequestEndsTheModalLoop) {
  TModalScene s = BuildModalScene();
  Keep(s.main);
  RunLater(10, [] { PostQuitMessage(0); });
  RunModal(s.dialog);
  EXPECT_TRUE(QuitRequested);
  EXPECT_EQ(s.dialog->ModalOutcome, 0);
  EXPECT_TRUE(IsWindowEnabled(s.first->Window));
}

TEST_F(TLoopTest, AParentlessFormIsOnlyShown) {
  TWidget* lone = Keep(MakeForm(nullptr, "Lone"));
  RunModal(lone);
  EXPECT_TRUE(IsWindowVisible(lone->Window));
  EXPECT_EQ(lone->HandlerChain->IndexOf(reinterpret_cast<void*>(&ModalCloseHandler)), -1);
}

TEST_F(TLoopTest, PumpingReportsAnEmptyQueueAndTakesTheQuitMessage) {
  EXPECT_FALSE(PumpOneMessage(nullptr));
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  EXPECT_TRUE(PumpOneMessage(nullptr));
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
  EXPECT_FALSE(PumpOneMessage(nullptr)) << "a WM_NULL ends a pumping round";
  PostQuitMessage(0);
  EXPECT_TRUE(PumpOneMessage(nullptr));
  EXPECT_TRUE(QuitRequested);
}

TEST_F(TLoopTest, AClassStyleChangeThroughOneFormReachesAllForms) {
  TWidget* first = Keep(MakeForm(nullptr, "First"));
  TWidget* second = Keep(MakeForm(nullptr, "Second"));
  GetHandle(first);
  GetHandle(second);
  ASSERT_EQ(GetClassLongPtrA(second->Window, GCL_STYLE), CS_DBLCLKS);
  SetClassStyle(first, CS_DBLCLKS | CS_NOCLOSE);
  EXPECT_EQ(GetClassLongPtrA(second->Window, GCL_STYLE), CS_DBLCLKS | CS_NOCLOSE);
  EXPECT_EQ(second->ClassStyle, static_cast<uint32_t>(CS_OWNDC | CS_DBLCLKS)) << "not stored there";
  TWidget* third = Keep(MakeForm(nullptr, "Third"));
  GetHandle(third);
  EXPECT_EQ(GetClassLongPtrA(third->Window, GCL_STYLE), CS_DBLCLKS | CS_NOCLOSE);
  SetClassStyle(first, CS_DBLCLKS);
}

// Finds the message box, reads it and presses its button.
struct TBoxSeen {
  bool found = false;
  HWND owner = nullptr;
  std::string title;
};

void CloseMessageBoxLater(TBoxSeen* seen) {
  RunLater(20, [seen] {
    HWND box = FindThreadWindow("#32770");
    seen->found = box != nullptr;
    if (!box) return;
    seen->owner = GetWindow(box, GW_OWNER);
    seen->title = TextOf(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
}

TEST_F(TLoopTest, NoticesAreOwnedByTheMainWindowAndTitledWithItsCaption) {
  TBoxSeen lone;
  CloseMessageBoxLater(&lone);
  EXPECT_EQ(ShowNotice("no main window yet"), IDOK);
  EXPECT_TRUE(lone.found);
  EXPECT_EQ(lone.owner, nullptr);
  EXPECT_FALSE(lone.title.empty()) << "the system's default title";

  TWidget* main = Keep(MakeForm(nullptr, "Главное окно"));
  MainWidget = main;
  Show(main);
  TBoxSeen owned;
  CloseMessageBoxLater(&owned);
  EXPECT_EQ(ShowMessageBox("with a main window", MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_TRUE(owned.found);
  EXPECT_EQ(owned.owner, main->Window);
  EXPECT_EQ(owned.title, "Главное окно");
}

}  // namespace
