// The real program: the About box, leaving, damaged sprite files and a
// whole sprite saved in another palette.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "screen_pixels.h"
#include "support/hostile_shp.h"
#include "viewer_fixture.h"

namespace {

using TLines = std::vector<std::string>;

// The About box: a form the main window owns.
HWND AboutBoxOf(HWND main) {
  return FirstWindow(TopLevelWindows(), [main](HWND window) {
    return ClassOf(window) == "obj_Form" && GetWindow(window, GW_OWNER) == main;
  });
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

int LineOf(TViewerRun& viewer, HWND list, const std::string& text) {
  TLines lines = viewer.Lines(list);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == text) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(TViewerE2E, TheAboutBoxShowsItsTextsAndHoldsTheMainWindowUntilOk) {
  Start();
  TViewerRun& v = *viewer_;
  HWND about = AboutBoxOf(v.Main());
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowVisible(about)) << "built hidden";
  v.Command(kAboutCommand);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about) != FALSE; }));

  TLines texts;
  HWND ok = nullptr;
  for (HWND child : ChildrenOf(about)) {
    texts.push_back(v.Text(child));
    if (texts.back() == "Ok") ok = child;
  }
  for (const char* value : {"Skarnel v1.0", "31 мая 2002г.", "Команда Skarnel",
                            "skarnel@example.org", "https://example.org/skarnel"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), value), texts.end()) << value;
  }
  ASSERT_NE(ok, nullptr);

  // Everything else of the main window holds still: a real click on a
  // sprite does nothing.
  HWND sprites = Row(kSpriteListRow);
  for (TViewerRow row : {kPreviewScrollerRow, kLeftPanelRow, kRightPanelRow})
    EXPECT_FALSE(IsWindowEnabled(Row(row))) << row;
  int tank = LineOf(v, sprites, "tank.shp");
  v.ClickLineOnScreen(sprites, tank);
  Sleep(300);
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), TLines{});
  EXPECT_TRUE(IsWindowVisible(about));

  v.Click(ok);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  // The box hides before its modal loop ends and enables the rest again.
  for (TViewerRow row : {kPreviewScrollerRow, kLeftPanelRow, kRightPanelRow})
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Row(row)) != FALSE; })) << row;
  v.ClickLineOnScreen(sprites, tank);
  EXPECT_TRUE(WaitUntil([&] { return v.Lines(Row(kFrameListRow)).size() == 12; }));
}

TEST_F(TViewerE2E, ExitEndsTheProgram) {
  Start();
  viewer_->Command(kExitCommand);
  EXPECT_EQ(viewer_->Program().WaitForExit(5000), 0);
}

TEST_F(TViewerE2E, DamagedSpriteFilesLeaveTheProgramRunning) {
  // One file of each kind of damage; two claim 65535 frames in a few bytes.
  const TLines names = {"huge-box.shp",        "frame-far-out.shp",   "odd-kinds.shp",
                        "offsets-shared.shp",  "zero-counts.shp",     "garbage1000.shp",
                        "offset-past-end.shp", "frame-huge.shp",      "cut100.shp",
                        "many-frames.shp",     "tiny-many-frames.shp"};
  for (const THostileFile& file : HostileShpCorpus()) {
    if (std::find(names.begin(), names.end(), file.Name) != names.end())
      WriteFileBytes(folder_ + "\\" + file.Name, file.Bytes);
  }
  Start();
  TViewerRun& v = *viewer_;
  HWND sprites = Row(kSpriteListRow);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    // A sound sprite between them, so that each load shows.
    ChooseSprite("my.unit.shp", 2);
    int line = LineOf(v, sprites, name);
    ASSERT_GE(line, 0);
    v.ClickLine(sprites, line);
    // Loaded once the frame list shows the sprite's name or nothing.
    std::string stem = name.substr(0, name.find('.'));
    EXPECT_TRUE(WaitUntil([&] {
      HWND frames = Row(kFrameListRow);
      return v.LineCount(frames) == 0 || v.Line(frames, 0) == "001 : " + stem + "001";
    }));
    v.Command(kCopyCommand);
    ASSERT_EQ(v.Program().WaitForExit(100), -1) << "the program ended";
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(v.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
        << "the program stopped answering";
  }
  ChooseSprite("tank.shp", 12);
  EXPECT_TRUE(ShowsRows(Row(kPreviewRow), TankSprite().BoxRows(0), AmberPalette()));
}

TEST_F(TViewerE2E, AllFramesInTheOtherPaletteAreSavedAsTheConverterWritesThem) {
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("my.unit.shp", 2);
  HWND palettes = Row(kPaletteBoxRow);
  v.PressKey(palettes, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(palettes, CB_GETCURSEL, 0, 0) == 1; }));
  std::string palette = v.ComboLines(palettes)[1] + ".pal";

  std::string out = MakeFolder("out");
  SettleFolders(out);
  v.Click(Row(kSaveAllRow));
  ASSERT_TRUE(v.AnswerFolderDialog(out));
  ExpectSameFiles(out, Converted("my.unit.shp", palette));
  EXPECT_EQ(FilesIn(out), (TLines{"my001.bmp", "my002.bmp"}));
}

}  // namespace
