// Frame images: canvases and the palette composed into 8-bit BMP images.
#include <gtest/gtest.h>

#include "format_shp/frame_image.h"
#include "shp_test_util.h"
#include "support/bmp_image.h"
#include "toolkit/base/le_bytes.h"

namespace {

// What SaveBmpFile writes for a frame's bitmap.
TBytes SavedImage(TShp* shp, int index, const TTempDir& dir) {
  std::string name = dir.File("frame" + std::to_string(index) + ".bmp");
  EXPECT_TRUE(shp->GetFrameBitmap(index)->SaveBmpFile(name.c_str()));
  return ReadFileBytes(name);
}

TBytes OtherPalette() {
  TBytes palette(1024);
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = static_cast<uint8_t>(i * 7 + 3);
  return palette;
}

TEST(ShpImage, FrameImagesAreTheBottomUpLayoutByteForByte) {
  struct {
    uint16_t width, height, x, y, cx, cy;
  } cases[] = {{3, 2, 0, 0, 3, 2},
               {8, 8, 2, 3, 4, 5},
               {5, 3, 1, 0, 4, 3},
               {1, 1, 0, 0, 1, 1},
               {13, 9, 4, 2, 7, 6}};
  TTempDir dir;
  for (const auto& c : cases) {
    std::vector<TBytes> rows = SpeckledRows(c.cx, c.cy, c.width);
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir,
              EncodeShp(c.width, c.height, {CodedFrame(c.x, c.y, rows), RawFrame(c.x, c.y, rows)}));
    shp->SetPalette(TestPalette().data());
    shp->BuildBitmaps();
    const TBytes expected =
        FrameImage(c.width, c.height, TestPalette(), PlaceInBox(c.width, c.height, c.x, c.y, rows));
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(SavedImage(shp.Get(), i, dir), expected)
          << c.width << "x" << c.height << " frame " << i;
      TDib* dib = shp->GetFrameBitmap(i);
      EXPECT_EQ(dib->Width, c.width);
      EXPECT_EQ(dib->Height, c.height);
    }
  }
}

TEST(ShpImage, SizeFieldsOfSmallSprites) {
  struct {
    uint16_t width, height;
    uint32_t fileSize, pixels, resolution;
  } cases[] = {{3, 2, 1086, 8, 6}, {8, 8, 1142, 64, 64}, {5, 3, 1102, 24, 15}};
  for (const auto& c : cases) {
    TBmpHeaderTemplate h = SizedBmpHeader(c.width, c.height);
    EXPECT_EQ(h.Signature[0], 'B');
    EXPECT_EQ(h.Signature[1], 'M');
    EXPECT_EQ(ReadLe32(h.Rest + 0), c.fileSize);     // bfSize
    EXPECT_EQ(ReadLe32(h.Rest + 8), 1078u);          // bfOffBits
    EXPECT_EQ(ReadLe32(h.Rest + 32), c.pixels);      // biSizeImage
    EXPECT_EQ(ReadLe32(h.Rest + 36), c.resolution);  // biXPelsPerMeter
    EXPECT_EQ(ReadLe32(h.Rest + 40), c.resolution);  // biYPelsPerMeter
  }
  // The shared template itself never carries a sprite's sizes.
  EXPECT_EQ(ReadLe32(BmpHeaderTemplate.Rest + 0), 0u);
  EXPECT_EQ(ReadLe32(BmpHeaderTemplate.Rest + 16), 0u);
}

TEST(ShpImage, AnotherPaletteChangesOnlyTheColourTable) {
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir,
            EncodeShp(7, 5, {CodedFrame(1, 1, SpeckledRows(5, 3, 1)), RawFrame(0, 0, {{1}})}));
  shp->SetPalette(TestPalette().data());
  shp->BuildBitmaps();
  TDib* shown = shp->GetFrameBitmap(0);
  std::vector<TBytes> before = {SavedImage(shp.Get(), 0, dir), SavedImage(shp.Get(), 1, dir)};

  shp->SetPalette(OtherPalette().data());
  shp->BuildBitmaps();
  EXPECT_EQ(shp->GetFrameBitmap(0), shown);  // refilled in place
  for (int i = 0; i < 2; ++i) {
    TBytes after = SavedImage(shp.Get(), i, dir);
    ASSERT_EQ(after.size(), before[i].size());
    EXPECT_TRUE(std::equal(after.begin() + 54, after.begin() + 1078, OtherPalette().begin()));
    for (size_t k = 0; k < after.size(); ++k) {
      if (k < 54 || k >= 1078) {
        EXPECT_EQ(after[k], before[i][k]) << "frame " << i << " byte " << k;
      }
    }
  }
}

TEST(ShpImage, AKindThatIsNotDecodedBecomesABlankImageOfTheSpriteBox) {
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, EncodeShp(5, 3, {FrameWithData(0, 0, 5, 3, 4, TBytes(15, 9))}));
  shp->SetPalette(TestPalette().data());
  shp->BuildBitmaps();
  EXPECT_EQ(SavedImage(shp.Get(), 0, dir), FrameImage(5, 3, TestPalette(), {}));
}

TEST(ShpImage, FramesWithoutPixelsKeepTheirPlaceholder) {
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir,
            EncodeShp(6, 4, {FrameWithoutPixels(0, 0, 6, 4), CodedFrame(0, 0, {{1}})}));
  TDib* placeholder = shp->GetFrameBitmap(0);
  for (int build = 0; build < 2; ++build) {
    shp->BuildBitmaps();
    EXPECT_EQ(shp->GetFrameBitmap(0), placeholder);
    EXPECT_EQ(placeholder->Width, 1);
    EXPECT_EQ(placeholder->Height, 1);
  }
  // Saved, it is a valid 1 x 1 BMP.
  TBytes saved = SavedImage(shp.Get(), 0, dir);
  ASSERT_GE(saved.size(), 54u);
  EXPECT_EQ(saved[0], 'B');
  EXPECT_EQ(ReadLe32(saved.data() + 2), saved.size());
  EXPECT_EQ(ReadLe32(saved.data() + 18), 1u);
  EXPECT_EQ(ReadLe32(saved.data() + 22), 1u);
}

// A box without width or height has no image to build: even frames with
// pixels keep 1 x 1 placeholders.
TEST(ShpImage, ASpriteOfWidthOrHeightZeroBuildsNothing) {
  TTempDir dir;
  for (auto [width, height] : {std::pair<uint16_t, uint16_t>{0, 5}, {5, 0}, {0, 0}}) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir,
              EncodeShp(width, height, {CodedFrame(0, 0, {{1, 2}}), RawFrame(0, 0, {{3}})}));
    ASSERT_EQ(shp->FrameCount, 2);
    shp->BuildBitmaps();
    for (int i = 0; i < 2; ++i) {
      EXPECT_TRUE(shp->FrameAt(i)->HasPixels);
      EXPECT_EQ(shp->FrameAt(i)->Canvas->GetSize(), 0u);
      EXPECT_EQ(shp->GetFrameBitmap(i)->Width, 1);
      EXPECT_EQ(shp->GetFrameBitmap(i)->Height, 1);
    }
  }
}

TEST(ShpImage, ANewSpriteKeepsThePaletteUntilTheNextSetPalette) {
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  shp->SetPalette(OtherPalette().data());
  LoadBytes(shp.Get(), dir, EncodeShp(2, 1, {RawFrame(0, 0, {{4, 5}})}));
  shp->BuildBitmaps();
  EXPECT_EQ(SavedImage(shp.Get(), 0, dir), FrameImage(2, 1, OtherPalette(), {{4, 5}}));
}

}  // namespace
