// Check boxes: a click checks and unchecks and then raises the click event;
// the program's own changes raise nothing, also before the window exists.
#include "toolkit/widgets/check_box.h"

#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace {

using TCheckBoxTest = GuiTest;

void RecordClick(std::vector<bool>* seen, TWidget* box) {
  seen->push_back(IsChecked(box));
}

TEST_F(TCheckBoxTest, ClicksToggleAndReportTheNewStateTheProgramsChangesDoNot) {
  TWidget* form = Keep(MakeForm(nullptr, "Check"));
  TWidget* box = MakeCheckBox(form, "Тени");
  std::vector<bool> seen;  // the state each click event saw
  box->ClickEvent = TNotifyEvent::Bind<&RecordClick>(&seen);
  SetChecked(box, true);
  ShowNow(form);
  EXPECT_EQ(StyleOf(box->Window) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_EQ(TextOf(box->Window), "Тени");
  EXPECT_EQ(SendMessageA(box->Window, BM_GETCHECK, 0, 0), BST_CHECKED) << "set before the window";

  SendMessageA(box->Window, BM_CLICK, 0, 0);
  PumpQueued();
  SendMessageA(box->Window, BM_CLICK, 0, 0);
  PumpQueued();
  SetChecked(box, false);
  PumpQueued();
  EXPECT_FALSE(IsChecked(box));
  EXPECT_EQ(seen, (std::vector<bool>{false, true}));
}

}  // namespace
