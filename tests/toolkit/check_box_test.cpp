// Check boxes: a click checks and unchecks and then raises the click event;
// the program's own changes raise nothing.
#include "toolkit/widgets/check_box.h"

#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace {

using TCheckBoxTest = GuiTest;

struct TClickLog {
  std::vector<bool> SeenChecked;  // the state each click event saw
};

void RecordClick(TClickLog* log, TWidget* box) {
  log->SeenChecked.push_back(IsChecked(box));
}

TEST_F(TCheckBoxTest, ClicksToggleAndReportTheNewState) {
  TWidget* form = Keep(MakeForm(nullptr, "Check"));
  TWidget* box = MakeCheckBox(form, "Тени");
  TClickLog log;
  box->ClickEvent = TNotifyEvent::Bind<&RecordClick>(&log);
  ShowNow(form);
  EXPECT_EQ(ClassOf(box->Window), "obj_BUTTON");
  EXPECT_EQ(StyleOf(box->Window) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_EQ(TextOf(box->Window), "Тени");
  EXPECT_FALSE(IsChecked(box));

  SendMessageA(box->Window, BM_CLICK, 0, 0);
  PumpQueued();
  SendMessageA(box->Window, BM_CLICK, 0, 0);
  PumpQueued();
  EXPECT_EQ(log.SeenChecked, (std::vector<bool>{true, false}));
}

TEST_F(TCheckBoxTest, SetCheckedWorksBeforeTheWindowAndRaisesNothing) {
  TWidget* form = Keep(MakeForm(nullptr, "Check"));
  TWidget* box = MakeCheckBox(form, "Только выделенные");
  TClickLog log;
  box->ClickEvent = TNotifyEvent::Bind<&RecordClick>(&log);
  SetChecked(box, true);
  EXPECT_TRUE(IsChecked(box));
  ShowNow(form);
  EXPECT_EQ(SendMessageA(box->Window, BM_GETCHECK, 0, 0), BST_CHECKED);
  SetChecked(box, false);
  PumpQueued();
  EXPECT_FALSE(IsChecked(box));
  EXPECT_TRUE(log.SeenChecked.empty());
}

}  // namespace
