#include "app/palette_catalogue.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/program_info.h"
#include "toolkit/base/win32_handles.h"
#include "win32/program_run.h"
#include "win32/window_search.h"
#include "support/palette_text.h"
#include "support/test_files.h"

namespace {

// A fresh temporary folder made the working directory for the test's time.
class TPaletteFolder : public TWorkingFolder {
 public:
  TPaletteFolder() { EXPECT_TRUE(Entered()); }

  // Names are taken in the working folder as they stand: a path object
  // would not keep UTF-8 names intact.
  std::string File(const std::string& name) const { return name; }
  void PutPalette(const std::string& name, const std::vector<TRgb>& colours) const {
    std::string text = JascPaletteText(colours);
    WriteFileBytes(File(name), TBytes(text.begin(), text.end()));
  }
  void Put(const std::string& name, const std::string& text) const {
    WriteFileBytes(File(name), TBytes(text.begin(), text.end()));
  }
};

// The names the system's own search of the folder delivers for "*.pal",
// files only, in its order.
std::vector<std::string> SearchOrder() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  TFindHandle search(FindFirstFileA("*.pal", &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search.Get(), &found));
  return names;
}

std::vector<std::string> CatalogueNames() {
  std::vector<std::string> names;
  for (const PaletteRecord& record : PaletteCatalogue)
    names.push_back(record.Name);
  return names;
}

TBytes ColoursOf(const PaletteRecord& record) {
  return TBytes(record.Colours, record.Colours + kColourTableSize);
}

const PaletteRecord* Entry(const std::string& name) {
  for (const PaletteRecord& record : PaletteCatalogue) {
    if (record.Name == name) return &record;
  }
  return nullptr;
}

const std::vector<TRgb> kDesert = {{200, 160, 96}, {120, 80, 40}, {1, 2, 3}};
const std::vector<TRgb> kTemperate = {{30, 120, 40}, {90, 160, 255}};

TEST(PaletteCatalogue, TakesEveryPaletteFileInTheSearchOrder) {
  TPaletteFolder folder;
  folder.PutPalette("Desert.pal", kDesert);
  folder.PutPalette("TEMPERAT.PAL", kTemperate);
  folder.PutPalette("Лес.pal", {{0, 100, 0}});
  folder.PutPalette("h.pal", {{1, 1, 1}});
  folder.PutPalette("s.pal", {{2, 2, 2}});
  folder.PutPalette("r.pal", {{3, 3, 3}});
  folder.PutPalette(".pal", {{4, 4, 4}});
  folder.PutPalette("snow.desert.pal", {{5, 5, 5}});
  folder.Put("a.txt", "JASC-PAL\r\n");
  ASSERT_TRUE(CreateDirectoryA(folder.File("x.pal").c_str(), nullptr));
  ASSERT_TRUE(SetFileAttributesA(folder.File("h.pal").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(folder.File("s.pal").c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA(folder.File("r.pal").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(GetFileAttributesA(folder.File("h.pal").c_str()) & FILE_ATTRIBUTE_HIDDEN);

  const std::map<std::string, std::string> displayNames = {
      {"Desert.pal", "Desert"},
      {"TEMPERAT.PAL", "Temperat"},
      {"Лес.pal", "Лес"},
      {"h.pal", "H"},
      {"s.pal", "S"},
      {"r.pal", "R"},
      {".pal", ""},
      {"snow.desert.pal", "Snow"},
  };
  std::vector<std::string> order = SearchOrder();
  ASSERT_EQ(order.size(), displayNames.size()) << "the folder was not set up";
  std::vector<std::string> expected;
  for (const std::string& file : order) {
    ASSERT_TRUE(displayNames.count(file)) << "the search found " << file;
    expected.push_back(displayNames.at(file));
  }

  EXPECT_EQ(FillPaletteCatalogue(), displayNames.size());
  EXPECT_EQ(CatalogueNames(), expected);
  ASSERT_NE(Entry("Desert"), nullptr);
  EXPECT_EQ(ColoursOf(*Entry("Desert")), ColourTable(kDesert));
  ASSERT_NE(Entry("Temperat"), nullptr);
  EXPECT_EQ(ColoursOf(*Entry("Temperat")), ColourTable(kTemperate));
  ASSERT_NE(Entry("Лес"), nullptr);
  EXPECT_EQ(ColoursOf(*Entry("Лес")), ColourTable({{0, 100, 0}}));
  ASSERT_NE(Entry(""), nullptr);
  EXPECT_EQ(ColoursOf(*Entry("")), ColourTable({{4, 4, 4}}));
  SetFileAttributesA(folder.File("r.pal").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(PaletteCatalogue, APaletteThatCannotBeReadStaysBlackUnderItsName) {
  TPaletteFolder folder;
  folder.PutPalette("open.pal", kDesert);
  folder.PutPalette("locked.pal", kTemperate);
  folder.PutPalette("ranges.pal", kTemperate);
  folder.Put("empty.pal", "JASC-PAL\r\n0100\r\nabc\r\n1 2 3\r\n");
  // Held by someone else without sharing, and with all its bytes locked.
  TKernelHandle exclusive(CreateFileA(folder.File("locked.pal").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(exclusive.Get(), INVALID_HANDLE_VALUE);
  TKernelHandle ranged(CreateFileA(folder.File("ranges.pal").c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
  ASSERT_NE(ranged.Get(), INVALID_HANDLE_VALUE);
  ASSERT_TRUE(LockFile(ranged.Get(), 0, 0, 0x10000, 0));

  ASSERT_EQ(FillPaletteCatalogue(), 4u);
  const TBytes black(kColourTableSize, 0);
  struct {
    const char* name;
    TBytes colours;
  } expected[] = {
      {"Open", ColourTable(kDesert)},
      {"Locked", black},
      {"Ranges", black},
      {"Empty", black},  // a count that is no number
  };
  for (const auto& e : expected) {
    const PaletteRecord* record = Entry(e.name);
    ASSERT_NE(record, nullptr) << e.name;
    EXPECT_EQ(ColoursOf(*record), e.colours) << e.name;
  }
  UnlockFile(ranged.Get(), 0, 0, 0x10000, 0);
}

// The game's raw palettes are read; any other file is read as JASC-PAL
// text, whatever its first line.
TEST(PaletteCatalogue, RawPalettesAndTextOfAnyKind) {
  TPaletteFolder folder;
  WriteFileBytes(folder.File("Game.pal"), RawPalette({{0, 0, 0}, {63, 32, 1}}));
  folder.Put("Notes.pal", "hello\r\n0100\r\n1\r\n1 2 3\r\n");
  ASSERT_EQ(FillPaletteCatalogue(), 2u);
  struct {
    const char* name;
    TBytes colours;
  } expected[] = {
      {"Game", ColourTable({{0, 0, 0}, {255, 130, 4}})},
      {"Notes", ColourTable({{1, 2, 3}})},
  };
  for (const auto& e : expected) {
    const PaletteRecord* record = Entry(e.name);
    ASSERT_NE(record, nullptr) << e.name;
    EXPECT_EQ(ColoursOf(*record), e.colours) << e.name;
  }
}

TEST(PaletteCatalogue, FindsNothingWithoutPaletteFiles) {
  TPaletteFolder folder;
  folder.Put("a.txt", "JASC-PAL\r\n0100\r\n1\r\n1 2 3\r\n");
  folder.Put("a.pa", "");
  ASSERT_TRUE(CreateDirectoryA(folder.File("x.pal").c_str(), nullptr));
  PaletteCatalogue.resize(3);  // left from before: emptied
  EXPECT_EQ(FillPaletteCatalogue(), 0u);
  EXPECT_TRUE(PaletteCatalogue.empty());
}

// The program itself, started in a folder the way a user starts it.
class TProgramStart : public ::testing::Test {
 protected:
  TTempDir folder_;
};

TEST_F(TProgramStart, WithoutAPaletteShowsTheNoticeAloneAndEndsWithCodeZero) {
  WriteFileBytes(folder_.File("a.txt"), {'x'});
  ASSERT_TRUE(CreateDirectoryA(folder_.File("x.pal").c_str(), nullptr));
  TProgramRun program(SKARNEL_PATH, folder_.Path().string());
  ASSERT_TRUE(program.Started()) << SKARNEL_PATH;
  HWND notice = program.WaitForWindow("#32770", 20000);
  ASSERT_NE(notice, nullptr) << "no message box";

  EXPECT_EQ(TextOf(notice), "Skarnel v1.0");
  EXPECT_EQ(TextOf(GetDlgItem(notice, 0xFFFF)),
            "Не обнаружено ни одной палитры .PAL. Продолжение работы невозможно!");
  EXPECT_EQ(program.VisibleWindows(), std::vector<HWND>{notice}) << "nothing else is shown";
  // Owned by the main window, which was never shown; one button, no icon.
  HWND owner = GetWindow(notice, GW_OWNER);
  EXPECT_EQ(TextOf(owner), kProgramName);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_NE(GetDlgItem(notice, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(notice, IDCANCEL), nullptr);

  SendMessageA(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(program.WaitForExit(20000), 0);
}

TEST_F(TProgramStart, WithAPaletteOpensTheMainWindowWithoutNotice) {
  std::string text = JascPaletteText(kDesert);
  WriteFileBytes(folder_.File("Desert.pal"), TBytes(text.begin(), text.end()));
  TProgramRun program(SKARNEL_PATH, folder_.Path().string());
  ASSERT_TRUE(program.Started()) << SKARNEL_PATH;
  HWND main = program.WaitForWindow("obj_Form", 20000);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(TextOf(main), "Skarnel v1.0");
  for (HWND window : program.VisibleWindows())
    EXPECT_NE(ClassOf(window), "#32770") << TextOf(window);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(20000), 0);
}

}  // namespace
