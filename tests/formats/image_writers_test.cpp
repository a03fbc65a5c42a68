// The PNG, GIF and sprite-sheet writers, checked by decoding what they wrote
// with ImageMagick: indices (through distinct palette colours), colours,
// transparency, delays, disposal, looping and the sheet's cells.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "formats/gif_writer.h"
#include "formats/image_magick.h"
#include "formats/png_writer.h"
#include "formats/sprite_sheet.h"
#include "support/bmp_image.h"

namespace {

// Every entry of the test palette has its own colour, so a decoded colour
// names the index it came from.
const TBytes kColours = TestPalette();

// A frame's canvas: rows of width indices padded to a multiple of 4, with
// runs of background 0 as sprites have.
struct TCanvas {
  uint32_t Width;
  uint32_t Height;
  TBytes Pixels;  // empty: a frame without pixels

  size_t Stride() const { return (Width + 3) / 4 * 4; }
  TIndexedPicture Picture() const { return {Width, Height, Stride(), Pixels}; }
  uint8_t At(uint32_t x, uint32_t y) const { return Pixels.empty() ? 0 : Pixels[y * Stride() + x]; }
};

TCanvas Drawn(uint32_t width, uint32_t height, uint32_t seed) {
  TCanvas canvas{width, height, {}};
  canvas.Pixels.assign(canvas.Stride() * height, 0xEE);  // padding a reader must skip
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t value = (x * 7 + y * 13 + seed * 31) % 256;
      canvas.Pixels[y * canvas.Stride() + x] = (x + y + seed) % 3 == 0 ? 0 : value;
    }
  }
  return canvas;
}

TCanvas Empty(uint32_t width, uint32_t height) {
  return {width, height, {}};
}

// The colour a reader must show for an index.
void ExpectPixel(const TBytes& rgba, size_t pixel, uint8_t index, bool opaque) {
  const uint8_t* got = rgba.data() + 4 * pixel;
  uint8_t alpha = index == 0 && !opaque ? 0 : 255;
  EXPECT_EQ((std::vector<int>{got[0], got[1], got[2], got[3]}),
            (std::vector<int>{kColours[4 * index + 2], kColours[4 * index + 1], kColours[4 * index],
                              alpha}))
      << "pixel " << pixel << ", index " << int{index};
}

// Compares `rgba` from pixel `first` on with the canvas, placed at (left,
// top) of an image `imageWidth` wide.
void ExpectCanvas(const TBytes& rgba, size_t first, uint32_t imageWidth, uint32_t left,
                  uint32_t top, const TCanvas& canvas, bool opaque) {
  for (uint32_t y = 0; y < canvas.Height; ++y) {
    for (uint32_t x = 0; x < canvas.Width; ++x) {
      size_t pixel = first + size_t{top + y} * imageWidth + left + x;
      ASSERT_LT(4 * pixel + 3, rgba.size());
      ExpectPixel(rgba, pixel, canvas.At(x, y), opaque);
      if (::testing::Test::HasFailure()) return;  // one wrong pixel says enough
    }
  }
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PngWriter, IndexedImageWithTransparentBackgroundUnlessOpaque) {
  struct TCase {
    const char* name;
    TCanvas canvas;
    bool opaque;
  };
  const TCase cases[] = {
      {"drawn", Drawn(13, 7, 1), false},
      {"opaque", Drawn(13, 7, 2), true},
      {"stride equals width", Drawn(8, 3, 3), false},
      {"one pixel", Drawn(1, 1, 1), false},
      {"without pixels", Empty(6, 5), false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTempDir dir;
    ASSERT_TRUE(WriteIndexedPng(dir.File("a.png"), c.canvas.Picture(), kColours.data(), c.opaque));
    TDecodedImage image = DecodeWithImageMagick(dir.Path().string(), "a.png");
    ASSERT_TRUE(image.Read);
    EXPECT_TRUE(Contains(image.Verbose, "png:IHDR.color_type: 3 (Indexed)"));
    EXPECT_TRUE(Contains(image.Verbose, "png:IHDR.bit_depth: 8"));
    EXPECT_TRUE(Contains(image.Verbose, "png:IHDR.interlace_method: 0 (Not interlaced)"));
    EXPECT_TRUE(Contains(image.Verbose, "png:PLTE.number_colors: 256"));
    EXPECT_EQ(Contains(image.Verbose, "png:tRNS"), !c.opaque);
    ASSERT_EQ(image.Frames.size(), 1u);
    EXPECT_TRUE(image.Frames[0].starts_with(std::to_string(c.canvas.Width) + " " +
                                            std::to_string(c.canvas.Height) + " "));
    EXPECT_EQ(image.Rgba.size(), 4u * c.canvas.Width * c.canvas.Height);
    ExpectCanvas(image.Rgba, 0, c.canvas.Width, 0, 0, c.canvas, c.opaque);
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

TEST(GifWriter, LoopingAnimationOfFullFrames) {
  struct TCase {
    const char* name;
    TGifOptions options;
    const char* delay;
  };
  const TCase cases[] = {
      {"default", {}, "10"},
      {"slow and opaque", {250, true}, "25"},
  };
  const std::vector<TCanvas> frames = {Drawn(11, 6, 1), Empty(11, 6), Drawn(11, 6, 2)};
  std::vector<TIndexedPicture> pictures;
  for (const TCanvas& frame : frames)
    pictures.push_back(frame.Picture());
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTempDir dir;
    ASSERT_TRUE(WriteAnimatedGif(dir.File("a.gif"), 11, 6, pictures, kColours.data(), c.options));
    TDecodedImage image = DecodeWithImageMagick(dir.Path().string(), "a.gif");
    ASSERT_TRUE(image.Read);
    ASSERT_EQ(image.Frames.size(), frames.size());
    for (const std::string& frame : image.Frames)
      EXPECT_EQ(frame, std::string("11 6 ") + c.delay + " Background");
    EXPECT_TRUE(Contains(image.Verbose, "Iterations: 0"));
    // Transparency shows in the alpha of index 0.
    ASSERT_EQ(image.Rgba.size(), 4u * 11 * 6 * frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
      ExpectCanvas(image.Rgba, i * 11 * 6, 11, 0, 0, frames[i], c.options.Opaque);
    // A GIF89a whose global colour table holds the whole palette.
    TBytes gif = ReadFileBytes(dir.File("a.gif"));
    ASSERT_GE(gif.size(), 13u + 768);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(gif[10], 0xF7);  // a global table of 256 entries
    for (int i = 0; i < 256; ++i) {
      EXPECT_EQ(gif[13 + 3 * i], kColours[4 * i + 2]);
      EXPECT_EQ(gif[13 + 3 * i + 2], kColours[4 * i]);
    }
  }
}

TEST(GifWriter, RefusesFramesThatDoNotFit) {
  TCanvas frame = Drawn(4, 4, 1);
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

TEST(SpriteSheet, CellsHoldTheFramesAndTheAtlasDescribesThem) {
  const std::vector<TCanvas> frames = {Drawn(5, 3, 1), Drawn(5, 3, 2), Empty(5, 3), Drawn(5, 3, 4),
                                       Drawn(5, 3, 5)};
  std::vector<TIndexedPicture> pictures;
  std::vector<std::string> names;
  for (size_t i = 0; i < frames.size(); ++i) {
    pictures.push_back(frames[i].Picture());
    names.push_back("tank00" + std::to_string(i + 2));
  }
  TSheetLayout layout;
  ASSERT_TRUE(PlanSheet(5, 5, 3, 0, layout));
  TTempDir dir;
  TImageBytes png;
  ASSERT_TRUE(EncodeSheetPng(layout, pictures, kColours.data(), false, png));
  WriteFileBytes(dir.File("tank_sheet.png"), png);
  TDecodedImage image = DecodeWithImageMagick(dir.Path().string(), "tank_sheet.png");
  ASSERT_TRUE(image.Read);
  ASSERT_EQ(image.Rgba.size(), 4u * 15 * 6);
  for (uint32_t i = 0; i < 5; ++i)
    ExpectCanvas(image.Rgba, 0, 15, CellX(layout, i), CellY(layout, i), frames[i], false);
  ExpectCanvas(image.Rgba, 0, 15, 10, 3, Empty(5, 3), false);  // the cell left over

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
  TCanvas cell = Drawn(4, 4, 1);
  TCanvas other = Drawn(4, 3, 1);
  TImageBytes png;
  EXPECT_FALSE(EncodeSheetPng(layout, {cell.Picture()}, kColours.data(), false, png));
  EXPECT_FALSE(
      EncodeSheetPng(layout, {cell.Picture(), other.Picture()}, kColours.data(), false, png));
  EXPECT_TRUE(
      EncodeSheetPng(layout, {cell.Picture(), cell.Picture()}, kColours.data(), false, png));
}

}  // namespace
