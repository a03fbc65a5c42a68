// The PNG, GIF and sprite-sheet writers: the structure ImageMagick reads from
// their files (chunks, colour tables, disposal, looping), the atlas, the
// grid, and their bounds. The pixels, delays, transparency and cells that
// shptool export writes are checked end to end (tests/cli).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "formats/gif_writer.h"
#include "formats/image_magick.h"
#include "formats/png_writer.h"
#include "formats/sprite_sheet.h"
#include "support/bmp_image.h"
#include "support/test_files.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/scoped_object.h"

namespace {

// Every entry of the test palette has its own colour, so a decoded colour
// names the index it came from.
const TBytes kColours = TestPalette();

// A canvas of width x height indices in rows padded to a multiple of 4.
struct TCanvas {
  uint32_t Width;
  uint32_t Height;
  TBytes Pixels;

  TIndexedPicture Picture() const { return {Width, Height, (Width + 3) / 4 * 4, Pixels}; }
};

TCanvas Drawn(uint32_t width, uint32_t height) {
  TCanvas canvas{width, height, {}};
  for (uint32_t i = 0; i < (width + 3) / 4 * 4 * height; ++i)
    canvas.Pixels.push_back(static_cast<uint8_t>(i * 7 % 5 == 0 ? 0 : i));
  return canvas;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The writers' bytes go into a file stream; one opened on a longer file
// keeps none of its old tail.
TEST(ImageBytes, TenBytesOverAHundredByteFileLeaveTen) {
  TTempDir dir;
  std::string name = dir.File("frame.png");
  WriteFileBytes(name, TBytes(100, 0xEE));
  const TImageBytes bytes(10, 0x11);
  {
    TScopedObject<TByteStream> file(MakeFileWriter(name.c_str()));
    EXPECT_TRUE(WriteImageBytes(file, bytes));
  }
  EXPECT_EQ(ReadFileBytes(name), bytes);
}

TEST(PngWriter, IndexedChunksWithTransparencyUnlessOpaque) {
  for (bool opaque : {false, true}) {
    SCOPED_TRACE(opaque ? "opaque" : "transparent");
    TTempDir dir;
    ASSERT_TRUE(
        WriteIndexedPng(dir.File("a.png"), Drawn(13, 7).Picture(), kColours.data(), opaque));
    TDecodedImage image = DecodeWithImageMagick(dir.Path().string(), "a.png");
    ASSERT_TRUE(image.Read);
    EXPECT_EQ(image.Frames, std::vector<std::string>{"13 7 0 Undefined"});
    EXPECT_TRUE(Contains(image.Verbose, "png:IHDR.color_type: 3 (Indexed)"));
    EXPECT_TRUE(Contains(image.Verbose, "png:IHDR.bit_depth: 8"));
    EXPECT_TRUE(Contains(image.Verbose, "png:IHDR.interlace_method: 0 (Not interlaced)"));
    EXPECT_TRUE(Contains(image.Verbose, "png:PLTE.number_colors: 256"));
    EXPECT_EQ(Contains(image.Verbose, "png:tRNS"), !opaque);
  }
}

TEST(PngWriter, RefusesPicturesOutsideTheirBounds) {
  TBytes pixels(16, 1);
  struct TCase {
    const char* name;
    TIndexedPicture picture;
  };
  const TCase cases[] = {
      {"no width", {0, 4, 4, pixels}},
      {"no height", {4, 0, 4, pixels}},
      {"stride below the width", {5, 2, 4, pixels}},
      {"rows past the pixels", {4, 5, 4, pixels}},
      {"last row past the pixels", {3, 4, 4, {pixels.data(), 14}}},
      {"beyond the size limit", {65535, 65535, 65535, {}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TImageBytes png;
    EXPECT_FALSE(EncodeIndexedPng(c.picture, kColours.data(), false, png));
  }
  // The last row needs only its width, not a whole stride.
  TImageBytes png;
  EXPECT_TRUE(EncodeIndexedPng({3, 4, 4, {pixels.data(), 15}}, kColours.data(), false, png));
}

TEST(GifWriter, DelayInHundredthsRounded) {
  const std::pair<uint32_t, int> cases[] = {
      {0, 0}, {4, 0}, {5, 1}, {100, 10}, {254, 25}, {255, 26}, {655350, 65535}, {0xFFFFFFFF, 65535},
  };
  for (auto [ms, hundredths] : cases)
    EXPECT_EQ(GifDelayHundredths(ms), hundredths) << ms << " ms";
}

TEST(GifWriter, LoopingGif89aWithThePaletteAsGlobalTable) {
  TCanvas frame = Drawn(11, 6);
  std::vector<TIndexedPicture> frames = {frame.Picture(), {11, 6, 12, {}}, frame.Picture()};
  TTempDir dir;
  ASSERT_TRUE(WriteAnimatedGif(dir.File("a.gif"), 11, 6, frames, kColours.data(), {}));
  TDecodedImage image = DecodeWithImageMagick(dir.Path().string(), "a.gif");
  ASSERT_TRUE(image.Read);
  EXPECT_EQ(image.Frames, std::vector<std::string>(3, "11 6 10 Background"));
  EXPECT_TRUE(Contains(image.Verbose, "Iterations: 0"));
  TBytes gif = ReadFileBytes(dir.File("a.gif"));
  ASSERT_GE(gif.size(), 13u + 768);
  EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
  EXPECT_EQ(gif[10], 0xF7);  // a global table of 256 entries
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(gif[13 + 3 * i], kColours[4 * i + 2]);
    EXPECT_EQ(gif[13 + 3 * i + 2], kColours[4 * i]);
  }
}

TEST(GifWriter, RefusesFramesThatDoNotFit) {
  TCanvas frame = Drawn(4, 4);
  struct TCase {
    const char* name;
    uint32_t width;
    uint32_t height;
    std::vector<TIndexedPicture> frames;
  };
  const TCase cases[] = {
      {"no frame", 4, 4, {}},
      {"frame of another size", 4, 5, {frame.Picture()}},
      {"wider than the format allows", 65536, 1, {{65536, 1, 65536, {}}}},
      {"all frames beyond the size limit", 60000, 60000, {{60000, 60000, 60000, {}}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TImageBytes gif;
    EXPECT_FALSE(EncodeAnimatedGif(c.width, c.height, c.frames, kColours.data(), {}, gif));
  }
}

TEST(SpriteSheet, GridOfTheSmallestSquareOrTheColumnsGiven) {
  struct TCase {
    uint32_t cells;
    uint32_t columnsAsked;
    uint32_t columns;
    uint32_t rows;
  };
  const TCase cases[] = {
      {1, 0, 1, 1},  {2, 0, 2, 1}, {4, 0, 2, 2}, {5, 0, 3, 2}, {9, 0, 3, 3},
      {10, 0, 4, 3}, {3, 5, 5, 1}, {7, 2, 2, 4}, {7, 1, 1, 7}, {65535, 0, 256, 256},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.cells) + " cells, " + std::to_string(c.columnsAsked));
    TSheetLayout layout;
    ASSERT_TRUE(PlanSheet(c.cells, 3, 2, c.columnsAsked, layout));
    EXPECT_EQ(layout.Columns, c.columns);
    EXPECT_EQ(layout.Rows, c.rows);
    EXPECT_EQ(layout.Width, 3 * c.columns);
    EXPECT_EQ(layout.Height, 2 * c.rows);
    EXPECT_EQ(CellX(layout, c.cells - 1), (c.cells - 1) % c.columns * 3);
    EXPECT_EQ(CellY(layout, c.cells - 1), (c.cells - 1) / c.columns * 2);
  }
  TSheetLayout layout;
  EXPECT_FALSE(PlanSheet(0, 3, 2, 0, layout));
  EXPECT_FALSE(PlanSheet(4, 0, 2, 0, layout));
  EXPECT_FALSE(PlanSheet(65535, 65535, 65535, 0, layout));
  EXPECT_FALSE(PlanSheet(2, 65535, 1, 0xFFFFFFFF, layout));  // a width that overflows 32 bits
}

TEST(SpriteSheet, AtlasDescribesEveryCell) {
  TSheetLayout layout;
  ASSERT_TRUE(PlanSheet(5, 5, 3, 0, layout));
  std::vector<std::string> names = {"tank002", "tank003", "tank004", "tank005", "tank006"};
  nlohmann::json atlas = nlohmann::json::parse(SheetAtlasJson(layout, names, "tank_sheet.png"));
  ASSERT_EQ(atlas["frames"].size(), 5u);
  for (uint32_t i = 0; i < 5; ++i) {
    const nlohmann::json& cell = atlas["frames"][i];
    EXPECT_EQ(cell["filename"], names[i]);
    EXPECT_EQ(cell["frame"],
              nlohmann::json::parse(R"({"x":)" + std::to_string(i % 3 * 5) + R"(,"y":)" +
                                    std::to_string(i / 3 * 3) + R"(,"w":5,"h":3})"));
    EXPECT_EQ(cell["rotated"], false);
    EXPECT_EQ(cell["trimmed"], false);
    EXPECT_EQ(cell["spriteSourceSize"], nlohmann::json::parse(R"({"x":0,"y":0,"w":5,"h":3})"));
    EXPECT_EQ(cell["sourceSize"], nlohmann::json::parse(R"({"w":5,"h":3})"));
  }
  EXPECT_EQ(atlas["meta"], nlohmann::json::parse(
                               R"({"image":"tank_sheet.png","size":{"w":15,"h":6},"scale":"1"})"));
}

TEST(SpriteSheet, AtlasTextStaysJsonWhateverTheNames) {
  TSheetLayout layout;
  ASSERT_TRUE(PlanSheet(3, 1, 1, 0, layout));
  std::string text = SheetAtlasJson(layout, {"a\"b", "c\\d", "e\xff"}, "x\"_sheet.png");
  nlohmann::json atlas = nlohmann::json::parse(text);
  EXPECT_EQ(atlas["frames"][0]["filename"], "a\"b");
  EXPECT_EQ(atlas["frames"][1]["filename"], "c\\d");
  EXPECT_EQ(atlas["frames"][2]["filename"], "e\xEF\xBF\xBD");  // U+FFFD
  EXPECT_EQ(atlas["meta"]["image"], "x\"_sheet.png");
}

TEST(SpriteSheet, RefusesPicturesThatDoNotMatchTheLayout) {
  TSheetLayout layout;
  ASSERT_TRUE(PlanSheet(2, 4, 4, 0, layout));
  TCanvas cell = Drawn(4, 4);
  TCanvas other = Drawn(4, 3);
  TImageBytes png;
  EXPECT_FALSE(EncodeSheetPng(layout, {cell.Picture()}, kColours.data(), false, png));
  EXPECT_FALSE(
      EncodeSheetPng(layout, {cell.Picture(), other.Picture()}, kColours.data(), false, png));
  EXPECT_TRUE(
      EncodeSheetPng(layout, {cell.Picture(), cell.Picture()}, kColours.data(), false, png));
}

}  // namespace
