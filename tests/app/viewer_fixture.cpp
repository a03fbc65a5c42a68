#include "viewer_fixture.h"

#include "app/main_commands.h"
#include "toolkit/widgets/list_controls.h"

void TViewerTest::SetUp() {
  GuiTest::SetUp();
  GetCurrentDirectoryA(MAX_PATH, previous_);
  std::string temp = dir_.Path().string();
  ASSERT_TRUE(SetCurrentDirectoryA(temp.c_str()));
  folder_ = WorkingDirectory();
}

void TViewerTest::TearDown() {
  GuiTest::TearDown();
  // Program-wide state lives as long as the process; here a test is over.
  Free(Sprite);
  Free(StartupBitmap);
  Sprite = nullptr;
  StartupBitmap = CurrentBitmap = nullptr;
  SetCurrentDirectoryA(previous_);
}

std::string TViewerTest::MakeFolder(const std::string& name) const {
  std::string path = folder_ + "\\" + name;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void TViewerTest::PutStandardFiles() const {
  PutPalette(folder_, "Amber.pal", AmberPalette());
  PutPalette(folder_, "Sea.pal", SeaPalette());
  PutSprite(folder_, TankSprite());
  PutSprite(folder_, DottedSprite());
  PutSprite(folder_, FramelessSprite());
}

TMainWindow* TViewerTest::Build() {
  main_ = BuildMainWindow();
  Keep(main_->AppForm);
  // As the main loop starts: the windows are made and shown.
  ++RunDepth;
  main_->AppForm->CreateWindowHandle();
  PumpQueued();
  return main_;
}

void TViewerTest::ChooseSprite(const std::string& line) {
  TWidget* list = main_->SpriteList;
  std::vector<std::string> lines = Lines(list);
  int index = -1;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) index = static_cast<int>(i);
  }
  ASSERT_GE(index, 0) << line << " is not listed";
  SetCurrentIndex(list, index);
  list->SelectEvent(list);
  PumpQueued();
}

void TViewerTest::ChooseFrames(const std::vector<int>& lines) {
  TWidget* list = main_->FrameList;
  SendMessageA(list->Window, LB_SETSEL, FALSE, -1);
  for (int line : lines)
    SendMessageA(list->Window, LB_SETSEL, TRUE, line);
  if (!lines.empty()) SendMessageA(list->Window, LB_SETCARETINDEX, lines.back(), FALSE);
  list->SelectEvent(list);
  PumpQueued();
}

std::vector<std::string> TViewerTest::Lines(TWidget* list) const {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < ItemCount(list); ++i)
    lines.push_back(ItemText(list, i));
  return lines;
}

std::vector<int> TViewerTest::SelectedLines(TWidget* list) const {
  std::vector<int> selected;
  for (int32_t i = 0; i < ItemCount(list); ++i) {
    if (IsItemSelected(list, i)) selected.push_back(i);
  }
  return selected;
}
