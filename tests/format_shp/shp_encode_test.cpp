// Encoding sprites: the frame rectangle, the coded rows, the choice between
// raw and run-length rows, and that every encoded sprite decodes to the
// images it was made from.
#include <gtest/gtest.h>

#include "format_shp/shp_encode.h"
#include "shp_test_util.h"

namespace {

TBytes Flat(const std::vector<TBytes>& rows) {
  TBytes pixels;
  for (const TBytes& row : rows)
    pixels.insert(pixels.end(), row.begin(), row.end());
  return pixels;
}

TBytes Row(std::initializer_list<std::pair<uint8_t, size_t>> stretches) {
  TBytes row;
  for (auto [value, count] : stretches)
    row.insert(row.end(), count, value);
  return row;
}

// Encodes images of one box, a frame each, and loads the result.
void EncodeAndLoad(TShp* shp, const TTempDir& dir, uint16_t width, uint16_t height,
                   const std::vector<std::vector<TBytes>>& images, TShpPacking packing) {
  TShpEncoder encoder;
  std::vector<TBytes> flat;
  for (const auto& rows : images)
    flat.push_back(Flat(rows));
  for (const TBytes& pixels : flat)
    ASSERT_TRUE(encoder.AddFrame(FrameOfImage(pixels.data(), width, height, width, packing)));
  LoadBytes(shp, dir, encoder.Finish(width, height));
}

TEST(ShpEncode, FramesDecodeToTheirImagesInTheSmallestRectangle) {
  struct {
    const char* name;
    std::vector<TBytes> rows;
    uint16_t x, y, cx, cy;
  } cases[] = {
      {"width 5", {{1, 0, 2, 0, 3}, {0, 4, 0, 5, 0}, {6, 0, 0, 0, 7}}, 0, 0, 5, 3},
      {"width 7, inner pixels",
       {Row({{0, 7}}), Row({{0, 2}, {4, 3}, {0, 2}}), Row({{0, 3}, {9, 1}, {0, 3}}), Row({{0, 7}})},
       2,
       1,
       3,
       2},
      {"1 x 1 box", {{7}}, 0, 0, 1, 1},
      {"1 x 1 box of colour 0", {{0}}, 0, 0, 1, 1},
      {"no pixel", std::vector<TBytes>(7, TBytes(13, 0)), 0, 0, 1, 1},
      {"touching every edge",
       {{1, 0, 0, 0, 0, 2}, {0, 0, 0, 0, 0, 0}, {3, 0, 0, 0, 0, 4}},
       0,
       0,
       6,
       3},
      {"a row inside the span sets the bottom",
       {{0, 4, 0, 0, 6, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 7, 0, 0, 0}, {0, 0, 0, 0, 0, 0}},
       1,
       0,
       4,
       3},
      {"the span grows both ways", {{0, 0, 5, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 0, 3, 0}}, 1, 0, 3, 3},
      {"last column only", {{0, 0, 0}, {0, 0, 5}}, 2, 1, 1, 1},
      // Every row after the first has its one pixel in the span's right column.
      {"a one-pixel bar", std::vector<TBytes>(4, {0, 0, 5, 0, 0}), 2, 0, 1, 4},
      {"zero run of 255", {Row({{9, 1}, {0, 255}, {9, 1}})}, 0, 0, 257, 1},
      {"zero run of 256", {Row({{9, 1}, {0, 256}, {9, 1}})}, 0, 0, 258, 1},
      {"zero run of 1000", {Row({{9, 1}, {0, 1000}, {9, 1}}), Row({{0, 1002}})}, 0, 0, 1002, 1},
      {"speckled 333 x 20", SpeckledRows(333, 20, 7), 0, 0, 333, 20},
  };
  for (TShpPacking packing : {TShpPacking::Smaller, TShpPacking::Coded, TShpPacking::Raw}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << ", packing " << int(packing));
      uint16_t width = static_cast<uint16_t>(c.rows[0].size());
      uint16_t height = static_cast<uint16_t>(c.rows.size());
      TTempDir dir;
      TScopedObject<TShp> shp(new TShp());
      EncodeAndLoad(shp.Get(), dir, width, height, {c.rows, c.rows}, packing);
      ASSERT_EQ(shp->FrameCount, 2);
      EXPECT_TRUE(shp->LoadReport.IsClean());
      EXPECT_EQ(shp->Width, width);
      EXPECT_EQ(shp->Height, height);
      for (int32_t i = 0; i < 2; ++i) {
        const TShpSprite* f = shp->FrameAt(i);
        EXPECT_EQ(std::vector<uint32_t>(
                      {f->X, f->Y, f->FrameWidth, f->FrameHeight, f->Extra1, f->Extra2}),
                  std::vector<uint32_t>({c.x, c.y, c.cx, c.cy, 0, 0}));
        EXPECT_EQ(CanvasBytes(f), CanvasOf(width, c.rows)) << "frame " << i;
        if (packing != TShpPacking::Smaller) {
          EXPECT_EQ(f->Compression, packing == TShpPacking::Raw ? kShpRawRowsToo : kShpCodedRows);
        }
      }
      // Frame data follows the table in frame order, each frame its own block.
      EXPECT_EQ(shp->FrameAt(0)->DataOffset, kShpFileHeaderSize + 2 * kShpFrameHeaderSize);
      EXPECT_GT(shp->FrameAt(1)->DataOffset, shp->FrameAt(0)->DataOffset);
    }
  }
}

TEST(ShpEncode, CodedRowsAreLengthThenItems) {
  struct {
    const char* name;
    TBytes pixels;
    TBytes expected;
  } cases[] = {
      {"literals", {1, 2, 3}, {5, 0, 1, 2, 3}},
      {"zero between", {1, 0, 0, 2}, {6, 0, 1, 0, 2, 2}},
      {"all zero", {0, 0, 0, 0, 0}, {4, 0, 0, 5}},
      {"run of 255", Row({{0, 255}}), {4, 0, 0, 255}},
      {"run of 256", Row({{0, 256}, {7, 1}}), {7, 0, 0, 255, 0, 1, 7}},
      {"run of 1000", Row({{0, 1000}}), {10, 0, 0, 255, 0, 255, 0, 255, 0, 235}},
      {"literals past a word", Row({{3, 17}, {0, 1}}),
       [] {
         TBytes row = {21, 0};
         row.insert(row.end(), 17, 3);
         row.insert(row.end(), {0, 1});
         return row;
       }()},
      {"empty row", {}, {2, 0}},
  };
  for (const auto& c : cases) {
    TBytes out(2 + 2 * c.pixels.size() + kCodedRowSlack, 0xEE);
    uint32_t size =
        EncodeCodedRow(c.pixels.data(), static_cast<uint32_t>(c.pixels.size()), out.data());
    out.resize(size);
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(ShpEncode, AutoTakesTheSmallerRowsAndRunLengthOnATie) {
  struct {
    std::vector<TBytes> rows;
    uint32_t compression;
  } cases[] = {
      {{{5, 0, 5}}, kShpRawRowsToo},                     // raw 3, coded 6
      {{{5, 0, 0, 0, 0, 5}}, kShpCodedRows},             // 6 and 6
      {{Row({{5, 1}, {0, 8}, {5, 1}})}, kShpCodedRows},  // raw 10, coded 6
      {{{0}}, kShpRawRowsToo},                           // the 1 x 1 frame of an empty image
      // Two coded rows tie with all the raw ones; the other two still count.
      {std::vector<TBytes>(4, {5, 5}), kShpRawRowsToo},  // raw 8, coded 16
  };
  for (const auto& c : cases) {
    TTempDir dir;
    TScopedObject<TShp> shp(new TShp());
    uint16_t width = static_cast<uint16_t>(c.rows[0].size());
    uint16_t height = static_cast<uint16_t>(c.rows.size());
    EncodeAndLoad(shp.Get(), dir, width, height, {c.rows}, TShpPacking::Smaller);
    ASSERT_EQ(shp->FrameCount, 1);
    EXPECT_EQ(shp->FrameAt(0)->Compression, c.compression) << width << " x " << height;
    EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), CanvasOf(width, c.rows)) << width << " x " << height;
  }
}

TEST(ShpEncode, RowsTooLongForTheirLengthFieldAreRawOrRefused) {
  TBytes pixels(50000);
  for (size_t i = 0; i < pixels.size(); i += 2)
    pixels[i] = 5;  // 25000 literals and 25000 runs: 75002 coded bytes
  pixels.back() = 5;
  TShpEncoder encoder;
  EXPECT_FALSE(encoder.AddFrame(FrameOfImage(pixels.data(), 50000, 1, 50000, TShpPacking::Coded)));
  EXPECT_EQ(encoder.FrameCount(), 0u);
  ASSERT_TRUE(encoder.AddFrame(FrameOfImage(pixels.data(), 50000, 1, 50000, TShpPacking::Smaller)));
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, encoder.Finish(50000, 1));
  ASSERT_EQ(shp->FrameCount, 1);
  EXPECT_EQ(shp->FrameAt(0)->Compression, kShpRawRowsToo);
  EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), pixels);
}

TEST(ShpEncode, FileHeaderAndFramesWithoutPixels) {
  const TBytes pixels = {0, 3, 0, 0};
  TShpEncoder encoder;
  encoder.AddFrame(TShpFrameOut{.Compression = 0});
  encoder.AddFrame(FrameOfImage(pixels.data(), 2, 2, 2, TShpPacking::Raw));
  TBytes file = encoder.Finish(2, 2);
  TBytes expected = {0, 0, 2, 0, 2, 0, 2, 0};
  expected.resize(8 + 24, 0);  // the frame without pixels: all fields 0
  for (uint8_t b : {1, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 56, 0, 0, 0, 3})
    expected.push_back(b);
  EXPECT_EQ(file, expected);
}

}  // namespace
