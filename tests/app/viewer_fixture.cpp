#include "viewer_fixture.h"

#include <algorithm>

#include "app/main_commands.h"
#include "support/run_process.h"
#include "toolkit/widgets/list_controls.h"

void TViewerTest::SetUp() {
  GuiTest::SetUp();
  ASSERT_TRUE(working_.Entered());
  folder_ = WorkingDirectory();
}

void TViewerTest::TearDown() {
  GuiTest::TearDown();
  // Program-wide state lives as long as the process; here a test is over.
  Free(Sprite);
  Free(StartupBitmap);
  Sprite = nullptr;
  StartupBitmap = CurrentBitmap = nullptr;
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

void TViewerE2E::SetUp() {
  TViewerTest::SetUp();
  PutStandardFiles();
}

void TViewerE2E::Start() {
  Start(SKARNEL_PATH);
}

void TViewerE2E::Start(const std::string& program) {
  viewer_ = std::make_unique<TViewerRun>(program, folder_);
  ASSERT_NE(viewer_->Main(), nullptr) << "no main window";
}

void TViewerE2E::ChooseSprite(const std::string& line, size_t frames) {
  std::vector<std::string> lines = viewer_->Lines(Row(kSpriteListRow));
  auto found = std::find(lines.begin(), lines.end(), line);
  ASSERT_NE(found, lines.end()) << line;
  viewer_->ClickLine(Row(kSpriteListRow), static_cast<int>(found - lines.begin()));
  // Only the count and the first line are read: a long list takes long to
  // read across processes.
  HWND list = Row(kFrameListRow);
  std::string first = "001 : " + line.substr(0, line.find('.')) + "001";
  auto loaded = [&] {
    int count = viewer_->LineCount(list);
    return count == static_cast<int>(frames) && (count == 0 || viewer_->Line(list, 0) == first);
  };
  ASSERT_TRUE(WaitUntil(loaded)) << line << " gave " << viewer_->LineCount(list) << " frames";
}

void TViewerE2E::ChooseFrame(int line) {
  viewer_->ClickLine(Row(kFrameListRow), line);
  ASSERT_TRUE(WaitUntil([&] { return viewer_->CaretLine(Row(kFrameListRow)) == line; }));
}

TNamedFiles TViewerE2E::Converted(const std::string& sprite, const std::string& palette,
                                  const std::string& frames) {
  std::string out = MakeFolder("converted-" + palette + "-" + sprite + "-" + frames);
  std::vector<std::string> args = {"--palette", palette, "--out", out};
  if (!frames.empty()) args.insert(args.end(), {"--frames", frames});
  args.push_back(sprite);
  TProcessResult run = RunProcess(SHP2BMP_PATH, args, folder_);
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  TNamedFiles files;
  for (const std::string& name : FilesIn(out))
    files.emplace_back(name, ReadFileBytes(out + "\\" + name));
  return files;
}

void TViewerE2E::ExpectSameFiles(const std::string& folder, const TNamedFiles& expected) {
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(WaitUntil([&] { return FilesIn(folder).size() >= expected.size(); }));
  std::vector<std::string> names;
  for (const auto& file : expected)
    names.push_back(file.first);
  EXPECT_EQ(FilesIn(folder), names);
  for (const auto& [name, bytes] : expected) {
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder + "\\" + name) == bytes; }, 2000))
        << name << " differs from the converter's";
  }
}
