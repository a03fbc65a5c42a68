// Frame kinds as the game's files hold them: the low byte of the compression
// field, and raw rows that each follow a 2-byte field.
#include <gtest/gtest.h>

#include "shp_test_util.h"

namespace {

// The same rows under every compression field: those whose low byte is 0 to
// 3 decode them, whatever the upper bytes hold; any other keeps an empty
// canvas.
TEST(ShpKind, TheKindIsTheLowByteOfTheCompressionField) {
  const std::vector<TBytes> rows = SpeckledRows(5, 3, 7);
  const TBytes placed = CanvasOf(8, PlaceInBox(8, 6, 1, 2, rows));
  struct {
    uint32_t compression;
    bool decoded;
  } cases[] = {
      {0, true},          {1, true},           {2, true},           {3, true},
      {0xCCCCCC00, true}, {0xCCCCCC01, true},  {0xCCCCCC02, true},  {0xCCCCCC03, true},
      {0x00000300, true},  // kind 0: the 3 is in an upper byte
      {0x03000001, true},  // kind 1
      {4, false},         {0xCCCCCC04, false}, {0x000003FF, false}, {0xFFFFFFFF, false},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TShpFrameIn frame = RawFrame(1, 2, rows);
    frame.Compression = c.compression;
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(8, 6, {frame}));
    const TShpSprite* f = shp->FrameAt(0);
    EXPECT_EQ(f->Compression, c.compression);
    EXPECT_TRUE(f->HasPixels);
    EXPECT_EQ(CanvasBytes(f), c.decoded ? placed : TBytes()) << std::hex << c.compression;
    EXPECT_TRUE(shp->LoadReport.IsClean()) << std::hex << c.compression;
  }
}

// A 3 x 2 frame of kind 2 whose fields hold anything: the rows are
// 2 + 3 bytes, the field is never read, and data cut short or a frame
// clipped by the box are handled as for raw rows.
TEST(ShpKind, RawRowsAfterA2ByteField) {
  const TBytes data = {0xFF, 0xFF, 1, 2, 3, 0, 0, 4, 5, 6};
  struct {
    const char* what;
    uint16_t x, y;
    size_t cut;  // data bytes kept
    TBytes canvas;
    bool truncated, clipped;
  } cases[] = {
      {"whole", 0, 0, 10, {1, 2, 3, 0, 4, 5, 6, 0}, false, false},
      {"cut in the last row's pixels", 0, 0, 9, {1, 2, 3, 0, 4, 5, 0, 0}, true, false},
      {"cut after the last row's field", 0, 0, 7, {1, 2, 3, 0, 0, 0, 0, 0}, true, false},
      {"cut in the last row's field", 0, 0, 6, {1, 2, 3, 0, 0, 0, 0, 0}, true, false},
      {"cut in the first row's pixels", 0, 0, 4, {1, 2, 0, 0, 0, 0, 0, 0}, true, false},
      {"cut in the first row's field", 0, 0, 1, {0, 0, 0, 0, 0, 0, 0, 0}, true, false},
      {"clipped right and below", 2, 1, 10, {0, 0, 0, 0, 0, 0, 1, 2}, false, true},
      // Only what lies inside the box is read.
      {"clipped, cut outside the box", 2, 1, 4, {0, 0, 0, 0, 0, 0, 1, 2}, false, true},
      {"shifted right, cut in the last row", 1, 0, 8, {0, 1, 2, 3, 0, 4, 0, 0}, true, false},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TBytes part(data.begin(), data.begin() + c.cut);
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(4, 2, {FrameWithData(c.x, c.y, 3, 2, 0xCCCCCC02, part)}));
    EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), c.canvas) << c.what;
    EXPECT_EQ(shp->LoadReport.Truncated.Count, c.truncated ? 1u : 0u) << c.what;
    EXPECT_EQ(shp->LoadReport.Clipped.Count, c.clipped ? 1u : 0u) << c.what;
  }
}

}  // namespace
