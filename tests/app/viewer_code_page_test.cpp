// The program under a Unix locale whose Windows code page has no Cyrillic
// and no Chinese (the test runs with LC_ALL=en_US.UTF-8, code page 1252,
// which the scripts compile so that Wine can create files of any name): its
// Russian texts and file names outside that code page must still read, load
// and save right.
#include <windows.h>

#include <string>
#include <vector>

#include "viewer_fixture.h"

namespace {

TEST_F(TViewerE2E, TextsAndForeignNamesReadRightUnderAWesternLocale) {
  char systemCodePage[8] = {};
  GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, systemCodePage,
                 sizeof(systemCodePage));
  ASSERT_STREQ(systemCodePage, "1252") << "runs only under the locale ctest gives it";
  PutSprite(folder_, TankSprite(), "坦克.shp");
  PutSprite(folder_, DottedSprite(), "Ölfass.shp");
  Start();
  TViewerRun& v = *viewer_;

  const struct {
    TViewerRow Row;
    const char* Text;
  } captions[] = {
      {kFolderGroupRow, " Путь к SHP файлам "},
      {kPaletteGroupRow, "Палитра"},
      {kFramesGroupRow, "Спрайты"},
      {kActionsGroupRow, "Действия"},
      {kSaveAllRow, "Сохранить все..."},
      {kSaveSelectedRow, "Только выделенное..."},
  };
  for (const auto& c : captions)
    EXPECT_EQ(v.Text(Row(c.Row)), c.Text);
  EXPECT_EQ(v.Text(v.Main()), "Skarnel v1.0");

  std::vector<std::string> sprites = v.Lines(Row(kSpriteListRow));
  EXPECT_EQ(sprites, DirectoryListing(folder_ + "\\*.shp"));
  EXPECT_EQ(sprites.size(), 5u);

  // Every frame of 坦克.shp into a folder whose name is outside the code
  // page too, as the converter writes them from the same command line.
  ChooseSprite("坦克.shp", 12);
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), FrameLines("坦克", 12));
  std::string all = MakeFolder("全部");
  SettleFolders(all);
  v.Click(Row(kSaveAllRow));
  ASSERT_TRUE(v.AnswerFolderDialog(all));
  ExpectSameFiles(all, Converted("坦克.shp", "Amber.pal"));

  // One frame through the save dialog, which offers the foreign name.
  ChooseSprite("Ölfass.shp", 2);
  std::string one = MakeFolder("one");
  std::string offered;
  v.Click(Row(kPreviewRow));
  ASSERT_TRUE(v.AnswerSaveDialog(one + "\\Ölfass001.bmp", &offered));
  EXPECT_EQ(offered, "Ölfass001");
  ExpectSameFiles(one, Converted("Ölfass.shp", "Amber.pal", "1"));
}

}  // namespace
