#include "formats/palette_file.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/palette_text.h"
#include "support/test_files.h"

namespace {

const std::vector<TRgb> kColours = {
    {255, 128, 0}, {1, 2, 3}, {0, 0, 0}, {10, 20, 30}, {200, 100, 50}};

// Reads `text` as a palette file into a table that starts all zero.
TBytes ReadText(const std::string& text, TBytes table = TBytes(1024, 0)) {
  TTempDir dir;
  WriteFileBytes(dir.File("p.pal"), TBytes(text.begin(), text.end()));
  EXPECT_TRUE(ReadJascPalette(dir.File("p.pal").c_str(), table.data()));
  return table;
}

TEST(JascPalette, LinesEndAtCrLfOrCrLf) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    EXPECT_EQ(ReadText(JascPaletteText(kColours, end)), ColourTable(kColours)) << int(end[0]);
  }
  const std::string mixed = "JASC-PAL\n0100\r3\r\n255 128 0\n1 2 3\r\r\n";
  EXPECT_EQ(ReadText(mixed), ColourTable({{255, 128, 0}, {1, 2, 3}, {0, 0, 0}}));
  // The same text from memory reads the same.
  TBytes table(1024, 0);
  ReadJascPaletteText(reinterpret_cast<const uint8_t*>(mixed.data()), mixed.size(), table.data());
  EXPECT_EQ(table, ColourTable({{255, 128, 0}, {1, 2, 3}}));
}

TEST(JascPalette, CtrlZEndsTheText) {
  std::string text = JascPaletteText(kColours);
  size_t third = text.find("0 0 0");
  EXPECT_EQ(ReadText(text.substr(0, third) + "\x1a" + text.substr(third)),
            ColourTable({kColours[0], kColours[1]}));
  // Inside a line: the line ends there.
  EXPECT_EQ(ReadText("JASC-PAL\r\n0100\r\n2\r\n7 8\x1a 9\r\n4 5 6\r\n"), ColourTable({{7, 8, 0}}));
}

// Colour line -> red, green, blue.
TEST(JascPalette, FieldsAreSeparatedByRunsOfBlanks) {
  struct {
    std::string line;
    TRgb rgb;
  } cases[] = {
      {"255 128 0", {255, 128, 0}},
      {"255  128 0", {255, 128, 0}},
      {" 255 128 0", {255, 128, 0}},
      {"255\t128\t0", {255, 128, 0}},
      {"\t 255 \t128   0 \t ", {255, 128, 0}},
      {"255 128 0 255", {255, 128, 0}},  // an alpha column
      {"255 128 0 and more text", {255, 128, 0}},
      {"12abc 5x 6", {12, 5, 6}},
      {"300 -1 7", {44, 255, 7}},
      {"-256 +257 256", {0, 1, 0}},
      {"7", {7, 0, 0}},
      {"7 8", {7, 8, 0}},
      {"", {0, 0, 0}},
      {"red green blue", {0, 0, 0}},
      {"1 - 3", {1, 0, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadText("JASC-PAL\r\n0100\r\n1\r\n" + c.line + "\r\n"), ColourTable({c.rgb}))
        << "'" << c.line << "'";
  }
}

TEST(JascPalette, TheCountDecidesWhichEntriesAreWritten) {
  const TBytes filled(1024, 0xEE);
  auto entry = [](const TBytes& table, int i) {
    return TBytes(table.begin() + 4 * i, table.begin() + 4 * i + 4);
  };
  const TBytes untouched = {0xEE, 0xEE, 0xEE, 0xEE};
  const TBytes black = {0, 0, 0, 0};
  struct {
    std::string countLine;
    int written;  // entries from 0 that the file sets
  } cases[] = {
      {"0", 0},         {"", 0},    {"abc", 0},   {"-3", 0},    {"2", 2},          {" 2 ", 2},
      {"2 colours", 2}, {"16", 16}, {"256", 256}, {"300", 256}, {"4294967297", 1},
  };
  for (const auto& c : cases) {
    std::string text = "JASC-PAL\r\n0100\r\n" + c.countLine + "\r\n1 2 3\r\n4 5 6\r\n";
    TBytes table = ReadText(text, filled);
    EXPECT_EQ(table.size(), 1024u);
    for (int i = 0; i < 256; ++i) {
      TBytes expected = i >= c.written ? untouched
                        : i == 0       ? TBytes{3, 2, 1, 0}
                        : i == 1       ? TBytes{6, 5, 4, 0}
                                       : black;  // lines missing
      ASSERT_EQ(entry(table, i), expected) << "count '" << c.countLine << "' entry " << i;
    }
  }
}

TEST(JascPalette, ColourLinesPast256AreIgnored) {
  std::vector<TRgb> colours;
  for (int i = 0; i < 300; ++i)
    colours.push_back({i, 255 - i % 256, 7});
  TBytes guarded(1024 + 64, 0xAB);
  guarded = ReadText(JascPaletteText(colours), guarded);
  EXPECT_EQ(TBytes(guarded.begin(), guarded.begin() + 1024), ColourTable(colours));
  EXPECT_EQ(TBytes(guarded.begin() + 1024, guarded.end()), TBytes(64, 0xAB));
}

TEST(JascPalette, LinesLongerThanAnyBuffer) {
  std::string text = "JASC-PAL" + std::string(100000, 'x') + "\r\n0100\r\n2\r\n" +
                     std::string(70000, ' ') + "9 8 7 " + std::string(70000, '5') + "\r\n" +
                     std::string(5000, '0') + "6 5 4\r\n";
  EXPECT_EQ(ReadText(text), ColourTable({{9, 8, 7}, {6, 5, 4}}));
}

TEST(JascPalette, AFileThatCannotBeOpenedLeavesTheTable) {
  TTempDir dir;
  std::filesystem::create_directory(dir.Path() / "folder.pal");
  for (const char* name : {"missing.pal", "folder.pal"}) {
    TBytes table(1024, 0x5A);
    EXPECT_FALSE(ReadJascPalette(dir.File(name).c_str(), table.data())) << name;
    EXPECT_EQ(table, TBytes(1024, 0x5A)) << name;
  }
}

TEST(ParseDecimalTest, SignsDigitsAndWrapping) {
  struct {
    std::string text;
    int32_t value;
  } cases[] = {
      {"", 0},
      {"12", 12},
      {"-7", -7},
      {"+7", 7},
      {" 12", 0},
      {"12abc", 12},
      {"1 2", 1},
      {"abc", 0},
      {"-", 0},
      {"+-5", 0},
      {"--5", 0},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MIN},
      {"-2147483648", INT32_MIN},
      {"4294967296", 0},
      {"4294967297", 1},
      {"99999999999", 1215752191},
      {"-4294967295", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseDecimal(c.text), c.value) << "'" << c.text << "'";
}

TEST(PaletteDisplayNameTest, TextBeforeTheFirstDotInNameCase) {
  struct {
    std::string file;
    std::string name;
  } cases[] = {
      {"UNITTEM.PAL", "Unittem"},
      {"snow.desert.pal", "Snow"},
      {"1st.pal", "1st"},
      {"Desert.pal", "Desert"},
      {"a.pal", "A"},
      {".pal", ""},
      {"noextension", ""},
      {"\xCB\xE5\xF1.pal", "\xCB\xE5\xF1"},  // Лес, Windows-1251
      {"\xEB\xE5\xF1.pal", "\xEB\xE5\xF1"},  // лес stays lower case
      {"MIX\xC0x.pal", "Mix\xC0x"},
      {"ÖLFASS.pal", "Ölfass"},  // UTF-8: the letter's two bytes pass untouched
      {"坦克.pal", "坦克"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PaletteDisplayName(c.file), c.name) << c.file;
}

}  // namespace
