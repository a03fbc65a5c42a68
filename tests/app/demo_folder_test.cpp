#include "app/demo/demo_folder.h"

#include <gtest/gtest.h>

#include <set>

#include "formats/palette_file.h"
#include "format_shp/shp.h"
#include "support/test_files.h"

namespace {

struct TSpriteFacts {
  int32_t Frames = 0;
  int32_t Blank = 0;  // frames without pixels
  std::set<uint32_t> Compressions;
  uint16_t Width = 0;
  uint16_t Height = 0;
};

TSpriteFacts LoadFacts(const std::string& fileName) {
  TShp* sprite = new TShp();
  sprite->LoadShpFile(fileName.c_str());
  EXPECT_TRUE(sprite->LoadReport.IsClean()) << fileName << ": the file needed repairs";
  TSpriteFacts facts;
  facts.Frames = sprite->FrameCount;
  facts.Width = sprite->Width;
  facts.Height = sprite->Height;
  for (int32_t i = 0; i < sprite->FrameCount; ++i) {
    TShpSprite* frame = sprite->FrameAt(i);
    if (!frame->HasPixels) ++facts.Blank;
    if (frame->HasPixels) facts.Compressions.insert(frame->Compression);
  }
  sprite->BuildBitmaps();
  for (int32_t i = 0; i < sprite->FrameCount; ++i) {
    TDib* image = sprite->GetFrameBitmap(i);
    EXPECT_EQ(image->Width, sprite->FrameAt(i)->HasPixels ? sprite->Width : 1) << fileName << i;
  }
  Free(sprite);
  return facts;
}

TEST(DemoFolder, WritesSpritesThatLoadWithoutRepairs) {
  TTempDir dir;
  WriteDemoFolder(dir.Path().string());
  struct {
    const char* name;
    int32_t frames, blank;
    std::set<uint32_t> compressions;
    uint16_t width, height;
  } expected[] = {
      {"spinner.shp", 16, 0, {3}, 48, 48},  // more than 12 frames
      {"ball.shp", 12, 0, {0}, 64, 96},     // raw
      {"lamp.shp", 6, 1, {0, 3}, 12, 16},   // tiny; raw and run-length; one dark
      {"waves.shp", 8, 0, {3}, 320, 160},   // a few hundred pixels wide
  };
  for (const auto& e : expected) {
    TSpriteFacts facts = LoadFacts(dir.File(e.name));
    EXPECT_EQ(facts.Frames, e.frames) << e.name;
    EXPECT_EQ(facts.Blank, e.blank) << e.name;
    EXPECT_EQ(facts.Compressions, e.compressions) << e.name;
    EXPECT_EQ(facts.Width, e.width) << e.name;
    EXPECT_EQ(facts.Height, e.height) << e.name;
  }
}

TEST(DemoFolder, FramesOfAnAnimationDiffer) {
  TTempDir dir;
  WriteDemoFolder(dir.Path().string());
  for (const char* name : {"spinner.shp", "ball.shp", "waves.shp"}) {
    TShp* sprite = new TShp();
    sprite->LoadShpFile(dir.File(name).c_str());
    std::set<TBytes> pictures;
    for (int32_t i = 0; i < sprite->FrameCount; ++i) {
      SpriteCanvas* canvas = sprite->FrameAt(i)->Canvas;
      ASSERT_NE(canvas, nullptr) << name << i;
      TBytes pixels(canvas->GetSize());
      canvas->Seek(0, kFromStart);
      canvas->Read(pixels.data(), static_cast<uint32_t>(pixels.size()));
      EXPECT_NE(pixels, TBytes(pixels.size(), 0)) << name << " frame " << i << " is empty";
      pictures.insert(pixels);
    }
    EXPECT_EQ(pictures.size(), static_cast<size_t>(sprite->FrameCount)) << name;
    Free(sprite);
  }
}

TEST(DemoFolder, PalettesAreFullAndDifferent) {
  TTempDir dir;
  WriteDemoFolder(dir.Path().string());
  TBytes day(kColourTableSize, 0xAA);
  TBytes dusk(kColourTableSize, 0xAA);
  ASSERT_TRUE(ReadJascPalette(dir.File("Demo.pal").c_str(), day.data()));
  ASSERT_TRUE(ReadJascPalette(dir.File("Dusk.pal").c_str(), dusk.data()));
  EXPECT_NE(day, dusk);
  std::set<uint32_t> colours;
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    EXPECT_EQ(day[4 * i + 3], 0) << "entry " << i << " was not read";
    colours.insert(day[4 * i] | day[4 * i + 1] << 8 | day[4 * i + 2] << 16);
  }
  EXPECT_GT(colours.size(), 240u) << "ramps of distinct colours";
}

uint64_t Fnv1a(const TBytes& bytes) {
  uint64_t hash = 0xcbf29ce484222325;
  for (uint8_t byte : bytes)
    hash = (hash ^ byte) * 0x100000001b3;
  return hash;
}

// The demo is drawn with integers only: every build and platform writes
// exactly these bytes (their FNV-1a hashes), run after run.
TEST(DemoFolder, IsTheSameOnEveryPlatform) {
  struct {
    const char* name;
    size_t size;
    uint64_t hash;
  } expected[] = {
      {"Demo.pal", 2786, 0xb6ca95e559e8ecfd},    {"Dusk.pal", 2788, 0x01ee5b98189dda51},
      {"spinner.shp", 9184, 0xb7f41336672f8618}, {"ball.shp", 5080, 0xacb6a5f05327cf10},
      {"lamp.shp", 716, 0x2043ae16dc9f181e},     {"waves.shp", 183050, 0x4109648c8762d313},
  };
  std::vector<TDemoFile> files = DemoFiles();
  ASSERT_EQ(files.size(), std::size(expected));
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].Name, expected[i].name);
    EXPECT_EQ(files[i].Bytes.size(), expected[i].size) << expected[i].name;
    EXPECT_EQ(Fnv1a(files[i].Bytes), expected[i].hash) << expected[i].name;
  }
}

}  // namespace
