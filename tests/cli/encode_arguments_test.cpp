// shptool encode's arguments in-process: the packing named by --compression
// and the order a folder's images are taken in.
#include <gtest/gtest.h>

#include "cli/encode_inputs.h"
#include "cli/encode_options.h"

namespace {

// The last --compression counts, so each name must set its own packing,
// whatever an earlier one set.
TEST(EncodeOptions, EachCompressionNameSetsItsPacking) {
  struct {
    std::vector<std::string> args;
    TShpPacking packing;
  } cases[] = {
      {{"a.png"}, TShpPacking::Smaller},
      {{"--compression", "raw", "--compression", "auto", "a.png"}, TShpPacking::Smaller},
      {{"--compression=rle", "--compression=auto", "a.png"}, TShpPacking::Smaller},
      {{"--compression", "auto", "--compression", "rle", "a.png"}, TShpPacking::Coded},
      {{"--compression", "auto", "--compression", "raw", "a.png"}, TShpPacking::Raw},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--out", "out.shp"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    TEncodeOptions options;
    std::string error;
    ASSERT_TRUE(ParseEncodeArguments(args, options, error)) << error;
    EXPECT_EQ(options.Packing, c.packing) << testing::PrintToString(c.args);
  }
}

TEST(EncodeInputs, NaturalOrderPutsANameBeforeItsLongerForms) {
  struct {
    std::string a, b;
    bool less;
  } cases[] = {
      {"a.png", "a.png.png", true},
      {"a.png.png", "a.png", false},
      {"f2", "f2.png", true},
      {"f2.png", "f2", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NaturalLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

}  // namespace
