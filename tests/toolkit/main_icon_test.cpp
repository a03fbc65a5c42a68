// The main widget's icon: LoadIcon hands out the module's shared icon,
// which must never be destroyed (Wine ignores DestroyIcon for a shared icon,
// so only the widget's record of it can show the fault); the copies other
// forms get are their own.
#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace {

using TMainIconTest = GuiTest;

TEST_F(TMainIconTest, TheMainIconIsSharedAndTheCopiesAreOwned) {
  TWidget* main = Keep(MakeForm(nullptr, "Main"));
  TWidget* other = Keep(MakeForm(nullptr, "Other"));
  MainWidget = main;
  HICON shared = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(GetIcon(main), shared);
  EXPECT_TRUE(main->BigIconShared) << "so that it is never destroyed";
  HICON copy = GetIcon(other);
  EXPECT_NE(copy, shared);
  EXPECT_FALSE(other->BigIconShared) << "destroyed with its window";
}

}  // namespace
