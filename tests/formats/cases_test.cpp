#include "formats/cases.h"

#include <gtest/gtest.h>

namespace {

TEST(PadLeft, FillsToTheWidthAndNeverCuts) {
  struct TCase {
    const char* text;
    size_t width;
    const char* padded;
  };
  const TCase cases[] = {
      {"1", 3, "001"}, {"42", 3, "042"}, {"999", 3, "999"},     {"1000", 3, "1000"},
      {"", 3, "000"},  {"7", 0, "7"},    {"12345", 4, "12345"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PadLeft(c.text, '0', c.width), c.padded) << c.text;
  EXPECT_EQ(PadLeft("ab", ' ', 4), "  ab");
}

TEST(LastPos, FindsTheLastOccurrenceOneBased) {
  EXPECT_EQ(LastPosOfChar("a\\b\\c", '\\'), 4u);
  EXPECT_EQ(LastPosOfChar("abc", 'a'), 1u);
  EXPECT_EQ(LastPosOfChar("abc", 'x'), 0u);
  EXPECT_EQ(LastPosOfChar("", 'x'), 0u);
  EXPECT_EQ(LastPosOfAny("\\:", "D:\\out\\unit001.bmp"), 7u);
  EXPECT_EQ(LastPosOfAny("\\:", "D:unit.bmp"), 2u);
  EXPECT_EQ(LastPosOfAny("\\:", "unit.bmp"), 0u);
  EXPECT_EQ(LastPosOfAny("", "a:b"), 0u);
}

TEST(FolderPartOf, KeepsThePathUpToItsLastSeparator) {
  struct TCase {
    const char* path;
    const char* folder;
  };
  const TCase cases[] = {
      {"D:\\out\\unit001.bmp", "D:\\out\\"},
      {"D:\\unit001.bmp", "D:\\"},
      {"D:unit001.bmp", "D:"},
      {"unit001.bmp", ""},
      {"\\\\server\\share\\a.bmp", "\\\\server\\share\\"},
      {"", ""},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(FolderPartOf(c.path), c.folder) << c.path;
}

}  // namespace
