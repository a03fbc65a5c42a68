// The animation window of the real program, driven from outside: opening
// and following the main window, playing and stepping, zoom, the selected
// frames, shadows over the backdrops, and the GIF it saves.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "animation_driver.h"
#include "screen_pixels.h"
#include "support/run_process.h"
#include "viewer_fixture.h"

namespace {

constexpr SIZE kTankBox = {23, 17};

SIZE TankAt(int zoom) {
  return {kTankBox.cx * zoom, kTankBox.cy * zoom};
}

bool operator==(SIZE a, SIZE b) {
  return a.cx == b.cx && a.cy == b.cy;
}

class TAnimationE2E : public TViewerE2E {
 protected:
  TAnimationControls OpenWith(const std::string& sprite, size_t frames) {
    Start();
    ChooseSprite(sprite, frames);
    TAnimationControls c = OpenAnimation(*viewer_);
    EXPECT_NE(c.Form, nullptr);
    EXPECT_NE(c.Picture, nullptr);
    return c;
  }
  ::testing::AssertionResult ShowsPosition(const TAnimationControls& c, const std::string& text) {
    if (WaitForText(*viewer_, c.Position, text)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shows \"" << viewer_->Text(c.Position) << "\"";
  }
};

TEST_F(TAnimationE2E, OpensOnceFollowsTheMainWindowAndCloses) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  EXPECT_EQ(v.Text(c.Form), "Анимация - tank.shp");
  EXPECT_EQ(GetWindow(c.Form, GW_OWNER), v.Main());
  EXPECT_FALSE(GetClassLongPtrA(c.Form, GCL_STYLE) & CS_NOCLOSE) << "it has a close box";
  EXPECT_TRUE(ShowsPosition(c, "Кадр 1 из 12"));
  EXPECT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == TankAt(2); }));
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(TankSprite().BoxRows(0), 2), AmberPalette()));

  v.Command(kAnimationCommand);
  Sleep(200);
  EXPECT_EQ(AnimationWindows(v).size(), 1u) << "chosen again, the same window";

  ChooseSprite("my.unit.shp", 2);
  EXPECT_TRUE(WaitForText(v, c.Form, "Анимация - my.unit.shp"));
  EXPECT_TRUE(ShowsPosition(c, "Кадр 1 из 2"));
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(DottedSprite().BoxRows(0), 2), AmberPalette()));
  HWND palettes = Row(kPaletteBoxRow);
  v.PressKey(palettes, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(palettes, CB_GETCURSEL, 0, 0) == 1; }));
  bool seaSecond = v.ComboLines(palettes)[1] == "Sea";
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(DottedSprite().BoxRows(0), 2),
                        seaSecond ? SeaPalette() : AmberPalette()));

  ChooseSprite("empty.shp", 0);
  EXPECT_TRUE(ShowsPosition(c, "Нет кадров"));
  EXPECT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == SIZE{0, 0}; }));

  PostKey(c.Play, VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(c.Form); })) << "Escape closes it";
  EXPECT_EQ(v.Program().WaitForExit(100), -1) << "the main window stays";
}

TEST_F(TAnimationE2E, ComesBackWithItsSizeAndZoomAndGoesWithTheMainWindow) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  SetWindowPos(c.Form, nullptr, 0, 0, 530, 410, SWP_NOMOVE | SWP_NOZORDER);
  v.PressKey(c.Zoom, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == TankAt(3); }));
  PostMessageA(c.Form, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(c.Form); }));

  c = OpenAnimation(v);
  ASSERT_NE(c.Form, nullptr);
  RECT bounds;
  GetWindowRect(c.Form, &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 530);
  EXPECT_EQ(bounds.bottom - bounds.top, 410);
  EXPECT_EQ(Ask(c.Zoom, CB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == TankAt(3); }));

  v.Command(kExitCommand);
  EXPECT_EQ(v.Program().WaitForExit(5000), 0);
}

TEST_F(TAnimationE2E, PlaysUntilStoppedAndStepsOneFrame) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  v.Click(c.Play);
  ASSERT_TRUE(WaitForText(v, c.Play, "Стоп"));
  std::set<std::string> seen;
  WaitUntil([&] {
    seen.insert(v.Text(c.Position));
    return seen.size() >= 4;
  });
  EXPECT_GE(seen.size(), 4u) << "frames advance while playing";

  v.Click(c.Play);
  ASSERT_TRUE(WaitForText(v, c.Play, "Пуск"));
  Sleep(150);
  std::string stopped = v.Text(c.Position);
  Sleep(400);
  EXPECT_EQ(v.Text(c.Position), stopped) << "stopped";

  // Stepping from the first frame: back wraps to the last.
  PostKey(c.Play, VK_SPACE);
  ASSERT_TRUE(WaitForText(v, c.Play, "Стоп"));
  v.Click(c.Back);
  EXPECT_TRUE(WaitForText(v, c.Play, "Пуск")) << "a step stops playing";
  // One step at a time, each awaited, to the first frame.
  for (int i = 0; i < 12 && v.Text(c.Position) != "Кадр 1 из 12"; ++i) {
    std::string before = v.Text(c.Position);
    v.Click(c.Next);
    ASSERT_TRUE(WaitUntil([&] { return v.Text(c.Position) != before; }));
  }
  ASSERT_TRUE(ShowsPosition(c, "Кадр 1 из 12"));
  v.Click(c.Back);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 12 из 12"));
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(TankSprite().BoxRows(11), 2), AmberPalette()));
  PostKey(c.Play, VK_RIGHT);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 1 из 12"));
  PostKey(c.Play, VK_LEFT);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 12 из 12"));
}

TEST_F(TAnimationE2E, ZoomSetsThePictureSize) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  v.PressKey(c.Zoom, VK_UP);
  for (int zoom : {1, 2, 3, 4, 6, 8}) {
    SCOPED_TRACE(zoom);
    EXPECT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == TankAt(zoom); }));
    if (zoom < 8) v.PressKey(c.Zoom, VK_DOWN);
  }
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(TankSprite().BoxRows(0), 8), AmberPalette()));

  WPARAM down = MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA));
  PostMessageA(c.Picture, WM_MOUSEWHEEL, down, 0);
  EXPECT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == TankAt(6); })) << "Ctrl+wheel";
  PostMessageA(c.Picture, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  Sleep(200);
  EXPECT_TRUE(ClientSize(c.Picture) == TankAt(6)) << "the wheel alone does not zoom";
}

TEST_F(TAnimationE2E, OnlySelectedPlaysTheSelectedFramesInListOrder) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  HWND frames = Row(kFrameListRow);
  v.ClickLine(frames, 1);
  v.ClickLine(frames, 6, true);
  ASSERT_TRUE(WaitUntil([&] { return v.SelectedLines(frames) == std::vector<int>{1, 6}; }));
  v.Click(c.Selected);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 1 из 2"));
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(TankSprite().BoxRows(1), 2), AmberPalette()));
  v.Click(c.Next);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 2 из 2"));
  EXPECT_TRUE(ShowsRows(c.Picture, Zoomed(TankSprite().BoxRows(6), 2), AmberPalette()));

  v.ClickLine(frames, 9);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 1 из 1")) << "follows the selection";
  v.Click(c.Selected);
  EXPECT_TRUE(ShowsPosition(c, "Кадр 10 из 12")) << "the frame shown stays";
}

// An 8-bit BMP as the converter writes it: indices top row first and its
// colour table.
struct TBmpPicture {
  std::vector<TBytes> Rows;
  std::vector<TRgb> Colours;
};

uint32_t Le32(const TBytes& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

TBmpPicture ReadBmp(const TBytes& file) {
  TBmpPicture picture;
  if (file.size() < 54 + 1024) return picture;
  uint32_t offset = Le32(file, 10), width = Le32(file, 18), height = Le32(file, 22);
  for (size_t i = 0; i < 256; ++i)
    picture.Colours.push_back({file[54 + 4 * i + 2], file[54 + 4 * i + 1], file[54 + 4 * i]});
  size_t stride = (width + 3) / 4 * 4;
  for (uint32_t y = 0; y < height; ++y) {
    size_t at = offset + (height - 1 - y) * stride;
    if (at + width > file.size()) return {};
    picture.Rows.emplace_back(file.begin() + at, file.begin() + at + width);
  }
  return picture;
}

// What the window must show for a frame over its shadow, from the rules:
// colour 0 shows the backdrop, halved where the shadow has a pixel.
std::vector<std::vector<COLORREF>> Expected(const TBmpPicture& frame, const TBmpPicture& shadow,
                                            int zoom, bool checker) {
  std::vector<std::vector<COLORREF>> screen;
  for (size_t y = 0; y < frame.Rows.size() * zoom; ++y) {
    std::vector<COLORREF> row;
    for (size_t x = 0; x < frame.Rows[0].size() * zoom; ++x) {
      uint8_t index = frame.Rows[y / zoom][x / zoom];
      TRgb c = frame.Colours[index];
      if (index == 0 && checker) {
        int grey = (x / 8 + y / 8) % 2 ? 128 : 192;
        c = {grey, grey, grey};
      }
      if (index == 0 && shadow.Rows[y / zoom][x / zoom] != 0) c = {c[0] / 2, c[1] / 2, c[2] / 2};
      row.push_back(RGB(c[0], c[1], c[2]));
    }
    screen.push_back(row);
  }
  return screen;
}

TEST_F(TAnimationE2E, ShadowsDarkenTheBackdropAsTheExportedFramesSay) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  TNamedFiles bmps = Converted("tank.shp", "Amber.pal", "3,9");
  ASSERT_EQ(bmps.size(), 2u);
  TBmpPicture frame = ReadBmp(bmps[0].second), shadow = ReadBmp(bmps[1].second);
  ASSERT_EQ(frame.Rows.size(), 17u);
  ASSERT_EQ(shadow.Rows.size(), 17u);

  v.Click(c.Shadow);
  ASSERT_TRUE(ShowsPosition(c, "Кадр 1 из 6")) << "the first half is played";
  v.Click(c.Next);
  v.Click(c.Next);
  ASSERT_TRUE(ShowsPosition(c, "Кадр 3 из 6"));
  v.PressKey(c.Zoom, VK_DOWN);  // 3x: squares of 8 cross the frame's pixels
  ASSERT_TRUE(WaitUntil([&] { return ClientSize(c.Picture) == TankAt(3); }));
  for (bool checker : {false, true}) {
    SCOPED_TRACE(checker ? "checkerboard" : "palette");
    if (checker) v.PressKey(c.Backdrop, VK_DOWN);
    auto expected = Expected(frame, shadow, 3, checker);
    EXPECT_TRUE(WaitUntil([&] { return ScreenBlock(c.Picture, 0, 0, 69, 51) == expected; }));
  }
}

TEST_F(TAnimationE2E, TheSavedGifIsWhatShptoolExports) {
  TAnimationControls c = OpenWith("tank.shp", 12);
  TViewerRun& v = *viewer_;
  HWND frames = Row(kFrameListRow);
  v.ClickLine(frames, 4);
  v.ClickLine(frames, 1, true);
  ASSERT_TRUE(WaitUntil([&] { return v.SelectedLines(frames) == std::vector<int>{1, 4}; }));
  v.Click(c.Selected);
  ASSERT_TRUE(ShowsPosition(c, "Кадр 1 из 2"));
  SendMessageW(c.Delay, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"250"));
  v.Click(c.Shadow);  // shadows are not saved

  for (bool checker : {false, true}) {
    SCOPED_TRACE(checker ? "checkerboard" : "palette");
    if (checker) v.PressKey(c.Backdrop, VK_DOWN);
    std::string name = checker ? "clear" : "opaque";
    std::string out = MakeFolder(name);
    std::string offered;
    v.Click(c.Save);
    ASSERT_TRUE(v.AnswerSaveDialog(out + "\\tank.gif", &offered));
    EXPECT_EQ(offered, "tank");

    std::string expectedDir = MakeFolder("shptool-" + name);
    std::vector<std::string> args = {"export",    "--format", "gif",      "--palette",
                                     "Amber.pal", "--frames", "2,5",      "--delay",
                                     "250",       "--out",    expectedDir};
    if (!checker) args.push_back("--opaque");
    args.push_back("tank.shp");
    TProcessResult run = RunProcess(SHPTOOL_PATH, args, folder_);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    TBytes expected = ReadFileBytes(expectedDir + "\\tank.gif");
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(out + "\\tank.gif") == expected; }));
  }
}

}  // namespace
