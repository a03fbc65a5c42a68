// The program as Windows versions before 10 (version 1903) run it: they
// ignore the manifest's UTF-8 code page, so the program runs in the system's,
// here 1251 (the test runs with LC_ALL=ru_RU.UTF-8). A link of the program
// without that setting stands in for them. Its Russian texts must read right,
// and file names from the system must go back to it unchanged.
#include <windows.h>

#include <string>

#include "viewer_fixture.h"

namespace {

TEST_F(TViewerE2E, TextsAndNamesReadRightWhereTheManifestsCodePageIsIgnored) {
  char systemCodePage[8] = {};
  GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, systemCodePage,
                 sizeof(systemCodePage));
  ASSERT_STREQ(systemCodePage, "1251") << "runs only under the locale ctest gives it";
  PutSprite(folder_, TankSprite(), "танк.shp");
  Start(SKARNEL_SYSTEM_CODE_PAGE_PATH);
  TViewerRun& v = *viewer_;

  const struct {
    TViewerRow Row;
    const char* Text;
  } captions[] = {
      {kFolderGroupRow, " Путь к SHP файлам "},
      {kPaletteGroupRow, "Палитра"},
      {kActionsGroupRow, "Действия"},
      {kSaveAllRow, "Сохранить все..."},
      {kSaveSelectedRow, "Только выделенное..."},
  };
  for (const auto& c : captions)
    EXPECT_EQ(v.Text(Row(c.Row)), c.Text);

  // The sprite's name comes from the system and goes back to it: to load
  // the sprite, in the frames' names and in an error message beside the
  // program's own words. The second frame cannot replace the folder that
  // has its name.
  ChooseSprite("танк.shp", 12);
  EXPECT_EQ(v.Lines(Row(kFrameListRow)), FrameLines("танк", 12));
  std::string all = MakeFolder("all");
  ASSERT_TRUE(CreateDirectoryA((all + "\\танк002.bmp").c_str(), nullptr));
  SettleFolders(all);
  v.Click(Row(kSaveAllRow));
  ASSERT_TRUE(v.AnswerFolderDialog(all));
  HWND error = v.WaitForDialog();
  ASSERT_NE(error, nullptr) << "no error box";
  EXPECT_EQ(TextOf(error), "Skarnel v1.0");
  EXPECT_EQ(TextOf(GetDlgItem(error, 0xFFFF)),
            "Не удалось записать файл:\n" + all + "\\танк002.bmp");
  PostMessageA(GetDlgItem(error, IDOK), BM_CLICK, 0, 0);
  TNamedFiles frames = Converted("танк.shp", "Amber.pal");
  frames.resize(1);
  ExpectSameFiles(all, frames);
}

}  // namespace
