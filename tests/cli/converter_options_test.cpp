#include "cli/converter_options.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameList, ParsesNumbersAndRanges) {
  struct {
    std::string text;
    bool valid;
    TFrameRanges ranges;
  } cases[] = {
      {"1", true, {{1, 1}}},
      {"1,3-5", true, {{1, 1}, {3, 5}}},
      {"7-7,2", true, {{7, 7}, {2, 2}}},
      {"65535", true, {{65535, 65535}}},
      {"1-65535", true, {{1, 65535}}},
      {"", false, {}},
      {"0", false, {}},
      {"0-3", false, {}},
      {"5-3", false, {}},
      {"65536", false, {}},
      {"1,", false, {}},
      {",1", false, {}},
      {"1,,2", false, {}},
      {"1-2-3", false, {}},
      {"1 ,2", false, {}},
      {"x", false, {}},
      {"+1", false, {}},
  };
  for (const auto& c : cases) {
    TFrameRanges ranges;
    EXPECT_EQ(ParseFrameList(c.text, ranges), c.valid) << "'" << c.text << "'";
    if (c.valid) {
      EXPECT_EQ(ranges, c.ranges) << c.text;
    }
  }
  TFrameRanges ranges = {{2, 2}, {4, 6}};
  std::vector<uint32_t> listed;
  for (uint32_t n = 0; n <= 8; ++n) {
    if (FrameIsListed(ranges, n)) listed.push_back(n);
  }
  EXPECT_EQ(listed, (std::vector<uint32_t>{2, 4, 5, 6}));
  EXPECT_TRUE(FrameIsListed({}, 12345));  // no list: every frame
}

TEST(ConverterArguments, OptionsAndFilesInAnyOrder) {
  TConverterOptions o;
  std::string error;
  ASSERT_TRUE(ParseConverterArguments({"a.shp", "--palette=x.pal", "--out", "dir", "--info",
                                       "b.shp", "--quiet", "--frames", "2", "--", "--c.shp", "-"},
                                      o, error))
      << error;
  EXPECT_EQ(o.Palette, "x.pal");
  EXPECT_EQ(o.OutFolder, "dir");
  EXPECT_TRUE(o.Info);
  EXPECT_TRUE(o.Quiet);
  EXPECT_EQ(o.Frames, (TFrameRanges{{2, 2}}));
  EXPECT_EQ(o.Files, (std::vector<std::string>{"a.shp", "b.shp", "--c.shp", "-"}));

  TConverterOptions help;
  EXPECT_TRUE(ParseConverterArguments({"-h"}, help, error));
  EXPECT_TRUE(help.Help);
}

}  // namespace
