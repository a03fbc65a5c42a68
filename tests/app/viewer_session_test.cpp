// The real program: the About box, leaving, damaged sprite files and a
// whole sprite saved in another palette.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "animation_driver.h"
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

// What a leak in the program would raise: its GDI and USER objects as the
// system counts them (Wine counts neither and answers 0), its windows, and
// its private memory (the commit charge, which Wine reports as PagefileUsage).
struct TProcessCounts {
  DWORD Gdi = 0;
  DWORD User = 0;
  int Windows = 0;
  SIZE_T Private = 0;
};

TProcessCounts CountsOf(TProgramRun& program, HWND main) {
  TProcessCounts counts;
  counts.Gdi = GetGuiResources(program.Process(), GR_GDIOBJECTS);
  counts.User = GetGuiResources(program.Process(), GR_USEROBJECTS);
  EnumChildWindows(
      main,
      [](HWND, LPARAM count) -> BOOL {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&counts.Windows));
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(program.Process(), &memory, sizeof(memory));
  counts.Private = memory.PagefileUsage;
  return counts;
}

// The first round warms up caches and the heap; from then on no handle or
// window is added and the private memory grows by less than 4 MiB, far
// below what a leak of the rounds' pictures would add.
void ExpectFlatAfterTheFirstRound(const std::vector<TProcessCounts>& rounds) {
  const TProcessCounts& base = rounds[1];
  ASSERT_GT(base.Private, 0u) << "the private memory could not be read";
  for (size_t r = 2; r < rounds.size(); ++r) {
    SCOPED_TRACE("round " + std::to_string(r));
    EXPECT_EQ(rounds[r].Gdi, base.Gdi);
    EXPECT_EQ(rounds[r].User, base.User);
    EXPECT_EQ(rounds[r].Windows, base.Windows);
    EXPECT_LT(rounds[r].Private, base.Private + (4u << 20));
  }
}

// Sprites large enough that one load's frame images left behind show in the
// private memory: 8 frames of 200 x 150, each sprite its own pixels.
TTestSprite LargeSprite(int seed) {
  TTestSprite sprite{"large" + std::to_string(seed) + ".shp", 200, 150, {}};
  for (int f = 0; f < 8; ++f) {
    std::vector<TBytes> rows(150, TBytes(200));
    for (size_t y = 0; y < rows.size(); ++y) {
      for (size_t x = 0; x < 200; ++x)
        rows[y][x] = static_cast<uint8_t>(x * 3 + y * 5 + f * 7 + seed);
    }
    sprite.Frames.push_back(RawFrame(0, 0, rows));
  }
  return sprite;
}

TEST_F(TViewerE2E, ALongSessionOfSpritesAndPalettesStaysFlat) {
  constexpr int kSprites = 4;
  for (int seed = 0; seed < kSprites; ++seed)
    PutSprite(folder_, LargeSprite(seed));
  Start();
  TViewerRun& v = *viewer_;
  HWND palettes = Row(kPaletteBoxRow);
  std::vector<TProcessCounts> rounds;
  for (int round = 0; round < 5; ++round) {
    for (int load = 0; load < 60; ++load) {
      ChooseSprite("large" + std::to_string(load % kSprites) + ".shp", 8);
      int palette = (load + 1) % 2;
      v.PressKey(palettes, palette ? VK_DOWN : VK_UP);
      ASSERT_TRUE(WaitUntil([&] { return SendMessageA(palettes, CB_GETCURSEL, 0, 0) == palette; }));
    }
    rounds.push_back(CountsOf(v.Program(), v.Main()));
    const TProcessCounts& c = rounds.back();
    std::printf("round %d: GDI %lu, USER %lu, windows %d, private %zu KiB\n", round,
                static_cast<unsigned long>(c.Gdi), static_cast<unsigned long>(c.User), c.Windows,
                static_cast<size_t>(c.Private >> 10));
  }
  // 60 loads that each left their 8 images behind would add about 14 MiB.
  ExpectFlatAfterTheFirstRound(rounds);
}

TEST_F(TViewerE2E, TheAnimationWindowOpenedAndClosedWhilePlayingStaysFlat) {
  PutSprite(folder_, LargeSprite(0));
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("large0.shp", 8);
  DWORD process = GetProcessId(v.Program().Process());
  std::vector<TProcessCounts> rounds;
  for (int round = 0; round < 5; ++round) {
    for (int open = 0; open < 20; ++open) {
      TAnimationControls c = OpenAnimation(v);
      ASSERT_NE(c.Form, nullptr);
      SendMessageW(c.Delay, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"20"));
      v.Click(c.Play);
      ASSERT_TRUE(WaitForText(v, c.Play, "Стоп"));
      Sleep(40);
      PostMessageA(c.Play, WM_KEYDOWN, VK_ESCAPE, 1);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(c.Form); }));
    }
    rounds.push_back(CountsOf(v.Program(), v.Main()));
    // The animation window is no child of the main one: all the process's count.
    rounds.back().Windows = static_cast<int>(ProcessWindows(process).size());
    std::printf("round %d: private %zu KiB, windows %d\n", round,
                static_cast<size_t>(rounds.back().Private >> 10), rounds.back().Windows);
  }
  // 20 windows that each left their picture (200 x 150 at 2x, 32 bits)
  // behind would add about 9 MiB.
  ExpectFlatAfterTheFirstRound(rounds);
}

}  // namespace
