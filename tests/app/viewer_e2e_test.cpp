// The real program, started in a working folder and used from outside as a
// user uses it; what it saves is compared with what shp2bmp writes.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "screen_pixels.h"
#include "toolkit/base/win32_handles.h"
#include "viewer_fixture.h"

namespace {

using TLines = std::vector<std::string>;
using TIndexes = std::vector<int>;

TEST_F(TViewerE2E, StartsWithTheFolderListedAndNothingChosen) {
  Start();
  TViewerRun& v = *viewer_;
  EXPECT_EQ(v.Text(v.Main()), "Skarnel v1.0");
  EXPECT_TRUE(GetClassLongPtrA(v.Main(), GCL_STYLE) & CS_NOCLOSE);

  HWND palettes = Row(kPaletteBoxRow);
  TLines names = v.ComboLines(palettes);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (TLines{"Amber", "Sea"}));
  EXPECT_EQ(SendMessageA(palettes, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(v.Text(palettes), v.ComboLines(palettes)[0]) << "the first palette shows";
  EXPECT_FALSE(IsWindowEnabled(palettes));
  EXPECT_FALSE(IsWindowEnabled(Row(kSaveAllRow)));
  EXPECT_FALSE(IsWindowEnabled(Row(kSaveSelectedRow)));

  HWND sprites = Row(kSpriteListRow);
  EXPECT_EQ(v.Lines(sprites), DirectoryListing(folder_ + "\\*.shp"));
  EXPECT_EQ(v.Lines(sprites).size(), 3u);
  EXPECT_EQ(SendMessageA(sprites, LB_GETCURSEL, 0, 0), LB_ERR) << "nothing selected";
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), TLines{});
  EXPECT_EQ(Lower(v.Text(Row(kFolderEditRow))), Lower(folder_));
}

TEST_F(TViewerE2E, TheColumnsKeepTheirWidthsWhateverTheWindowSize) {
  Start();
  TViewerRun& v = *viewer_;
  for (SIZE size : {SIZE{549, 439}, SIZE{900, 650}, SIZE{420, 300}}) {
    SetWindowPos(v.Main(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    auto placed = [&] {
      GetClientRect(v.Main(), &client);
      RECT scroller = v.PlaceOf(Row(kPreviewScrollerRow));
      return scroller.right == client.right && scroller.bottom == client.bottom;
    };
    ASSERT_TRUE(WaitUntil(placed)) << size.cx;
    RECT left = v.PlaceOf(Row(kLeftPanelRow));
    RECT right = v.PlaceOf(Row(kRightPanelRow));
    RECT scroller = v.PlaceOf(Row(kPreviewScrollerRow));
    SCOPED_TRACE(size.cx);
    EXPECT_EQ(left.left, 0);
    EXPECT_EQ(left.right, 137);
    EXPECT_EQ(right.left, 137);
    EXPECT_EQ(right.right, 137 + 144);
    EXPECT_EQ(scroller.left, 137 + 144);
    for (RECT column : {left, right, scroller}) {
      EXPECT_EQ(column.top, 0);
      EXPECT_EQ(column.bottom, client.bottom);
    }
  }
}

TEST_F(TViewerE2E, ChoosingASpriteListsItsFramesAndShowsTheFirst) {
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("tank.shp", 12);
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), FrameLines("tank", 12));
  EXPECT_EQ(v.SelectedLines(Row(kFrameListRow)), TIndexes{0});
  RECT preview;
  GetClientRect(Row(kPreviewRow), &preview);
  EXPECT_EQ(preview.right, 23);
  EXPECT_EQ(preview.bottom, 17);
  EXPECT_TRUE(ShowsRows(Row(kPreviewRow), TankSprite().BoxRows(0), AmberPalette()));
  EXPECT_TRUE(IsWindowEnabled(Row(kPaletteBoxRow)));
  EXPECT_TRUE(IsWindowEnabled(Row(kSaveAllRow)));
  EXPECT_TRUE(IsWindowEnabled(Row(kSaveSelectedRow)));

  ChooseSprite("my.unit.shp", 2);
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), (TLines{"001 : my001", "002 : my002"}));
  EXPECT_TRUE(ShowsRows(Row(kPreviewRow), DottedSprite().BoxRows(0), AmberPalette()));
}

TEST_F(TViewerE2E, AFrameAndAPaletteChosenRepaintThePreview) {
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("tank.shp", 12);
  ChooseFrame(6);
  EXPECT_TRUE(ShowsRows(Row(kPreviewRow), TankSprite().BoxRows(6), AmberPalette()));

  HWND palettes = Row(kPaletteBoxRow);
  v.PressKey(palettes, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(palettes, CB_GETCURSEL, 0, 0) == 1; }));
  // Which palette is second is the directory's business.
  bool seaSecond = v.ComboLines(palettes)[1] == "Sea";
  EXPECT_TRUE(ShowsRows(Row(kPreviewRow), TankSprite().BoxRows(6),
                        seaSecond ? SeaPalette() : AmberPalette()));
  EXPECT_EQ(v.SelectedLines(Row(kFrameListRow)), TIndexes{6});
}

TEST_F(TViewerE2E, SelectedFramesAndAllFramesAreSavedAsTheConverterWritesThem) {
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("tank.shp", 12);
  v.ClickLine(Row(kFrameListRow), 1);
  v.ClickLine(Row(kFrameListRow), 4, true);
  ASSERT_TRUE(WaitUntil([&] { return v.SelectedLines(Row(kFrameListRow)) == TIndexes{1, 4}; }));

  std::string selected = MakeFolder("selected");
  SettleFolders(selected);
  v.Click(Row(kSaveSelectedRow));
  ASSERT_TRUE(v.AnswerFolderDialog(selected));
  ExpectSameFiles(selected, Converted("tank.shp", "Amber.pal", "2,5"));

  std::string all = MakeFolder("all");
  SettleFolders(all);
  v.Click(Row(kSaveAllRow));
  ASSERT_TRUE(v.AnswerFolderDialog(all));
  ExpectSameFiles(all, Converted("tank.shp", "Amber.pal"));
}

TEST_F(TViewerE2E, OneFrameIsSavedThroughTheSaveDialog) {
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("tank.shp", 12);
  ChooseFrame(2);
  std::string one = MakeFolder("one");

  // Cancelled from the preview's menu: nothing is written.
  std::string offered;
  v.Command(kSaveFrameCommand);
  ASSERT_TRUE(v.AnswerSaveDialog("", &offered));
  EXPECT_EQ(offered, "tank003");

  v.Click(Row(kPreviewRow));
  ASSERT_TRUE(v.AnswerSaveDialog(one + "\\tank003.bmp", &offered));
  EXPECT_EQ(offered, "tank003");
  ExpectSameFiles(one, Converted("tank.shp", "Amber.pal", "3"));
}

TEST_F(TViewerE2E, AnotherShpFolderIsListedAndItsSpritesAreLoaded) {
  std::string more = MakeFolder("more");
  // The same name with other contents, so the sprite shown tells which
  // file was read.
  PutSprite(more, DottedSprite(), "tank.shp");
  PutSprite(more, TankSprite(), "zebra.shp");
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("my.unit.shp", 2);

  SettleFolders(more);
  v.Click(Row(kFolderButtonRow));
  ASSERT_TRUE(v.AnswerFolderDialog(more));
  ASSERT_TRUE(WaitUntil([&] { return v.Lines(Row(kSpriteListRow)).size() == 2; }));
  EXPECT_EQ(v.Lines(Row(kSpriteListRow)), (TLines{"tank.shp", "zebra.shp"}));
  EXPECT_EQ(Lower(v.Text(Row(kFolderEditRow))), Lower(more));
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), (TLines{"001 : my001", "002 : my002"}))
      << "the loaded sprite stays";

  ChooseSprite("tank.shp", 2);
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), (TLines{"001 : tank001", "002 : tank002"}));
  EXPECT_TRUE(ShowsRows(Row(kPreviewRow), DottedSprite().BoxRows(0), AmberPalette()));
}

TEST_F(TViewerE2E, CopyPutsTheFrameShownOnTheClipboard) {
  {
    TClipboardSession clipboard(nullptr);
    ASSERT_TRUE(clipboard.IsOpen());
    EmptyClipboard();
  }
  Start();
  TViewerRun& v = *viewer_;
  ChooseSprite("tank.shp", 12);
  ChooseFrame(5);
  v.Command(kCopyCommand);
  ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }));

  TBytes file = TankSprite().FrameBmp(5, AmberPalette());
  TBytes expected(file.begin() + 14, file.end());  // no file header
  TClipboardSession clipboard(nullptr);
  ASSERT_TRUE(clipboard.IsOpen());
  HANDLE block = GetClipboardData(CF_DIB);
  TBytes copied;
  if (block && GlobalSize(block) >= expected.size()) {
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    copied.assign(bytes, bytes + expected.size());
    GlobalUnlock(block);
  }
  EXPECT_EQ(copied, expected);
}

}  // namespace
