#include "formats/frame_names.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameNames, NumbersLinesAndFileNames) {
  struct TCase {
    const char* name;
    int32_t number;
    const char* digits;
    const char* line;
    const char* file;
  };
  const TCase cases[] = {
      {"unit", 1, "001", "001 : unit001", "unit001.bmp"},
      {"tank", 12, "012", "012 : tank012", "tank012.bmp"},
      {"tank", 999, "999", "999 : tank999", "tank999.bmp"},
      {"tank", 1000, "1000", "1000 : tank1000", "tank1000.bmp"},
      {"my", 5, "005", "005 : my005", "my005.bmp"},
      // Before any sprite: no name, no frame.
      {"", 0, "000", "000 : 000", "000.bmp"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(FrameNumberText(c.number), c.digits);
    EXPECT_EQ(FrameLine(c.name, c.number), c.line);
    EXPECT_EQ(FrameFileName(c.name, c.number), c.file);
  }
}

TEST(FrameNames, InFolderAlwaysAddsOneSeparator) {
  EXPECT_EQ(InFolder("D:\\out", "tank002.bmp"), "D:\\out\\tank002.bmp");
  EXPECT_EQ(InFolder("D:\\", "tank002.bmp"), "D:\\\\tank002.bmp");
  EXPECT_EQ(InFolder("C:\\sprites", "*.shp"), "C:\\sprites\\*.shp");
}

}  // namespace
