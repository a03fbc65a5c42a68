// The tools on files as the game's own tools write them: compression fields
// with uninitialised upper bytes, raw rows after a length field, and raw
// palettes.
#include <gtest/gtest.h>

#include "format_shp/shp.h"
#include "shp2bmp_test_util.h"
#include "support/bmp_image.h"
#include "support/png_image.h"
#include "toolkit/base/scoped_object.h"

namespace {

const std::vector<TBytes> kRows = SpeckledRows(5, 3, 21);

TBytes Bytes(const std::string& text) {
  return TBytes(text.begin(), text.end());
}

TShpFrameIn WithCompression(TShpFrameIn frame, uint32_t compression) {
  frame.Compression = compression;
  return frame;
}

// Decoding by kind is the codec's; here only what info prints of the field.
TEST(GameFiles, InfoShowsTheFieldAsStoredAndItsKind) {
  TConverterFolder f;
  f.Put("unit.shp", EncodeShp(6, 4,
                              {WithCompression(RawFrame(1, 1, kRows), 0xCCCCCC02),
                               WithCompression(CodedFrame(0, 0, kRows), 0xCCCCCC03),
                               WithCompression(RawFrame(0, 1, kRows), 1),
                               WithCompression(RawFrame(0, 0, kRows), 0x104)}));
  const std::vector<std::string> compressions = {"compression=0xCCCCCC02 kind=2 ",
                                                 "compression=0xCCCCCC03 kind=3 ", "compression=1 ",
                                                 "compression=0x00000104 kind=4 "};
  for (bool tool : {false, true}) {
    TProcessResult r = tool ? f.RunShpTool({"info", "unit.shp"}) : f.Run({"--info", "unit.shp"});
    EXPECT_EQ(r.ExitCode, 0);
    std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 5u) << r.Out;
    for (size_t i = 0; i < compressions.size(); ++i)
      EXPECT_NE(lines[i + 1].find(compressions[i]), std::string::npos) << lines[i + 1];
  }
}

// Every way the tools take a palette reads the raw form; its levels have
// unit tests of their own.
TEST(GameFiles, RawPalettesColourTheImages) {
  TConverterFolder f;
  f.Put("game.pal", RawPalette({{0, 0, 0}, {63, 32, 1}}));
  f.Put("unit.shp", EncodeShp(5, 3, {RawFrame(0, 0, kRows)}));
  const TBytes expected = FrameImage(5, 3, ColourTable({{0, 0, 0}, {255, 130, 4}}), kRows);
  ASSERT_EQ(f.Run({"--palette", "game.pal", "--out", "given", "unit.shp"}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(f.File("given/unit001.bmp")), expected);
  ASSERT_EQ(f.Run({"--out", "default", "unit.shp"}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(f.File("default/unit001.bmp")), expected);
  ASSERT_EQ(f.RunShpTool({"export", "--palette", "game.pal", "--out", "tool", "unit.shp"}).ExitCode,
            0);
  EXPECT_EQ(ReadFileBytes(f.File("tool/unit001.bmp")), expected);
}

// A file given with --palette must be a palette; the folder's own first
// palette is read whatever it holds, as the viewer reads it.
TEST(GameFiles, AGivenPaletteThatIsNoPaletteIsRefused) {
  const std::string jasc = JascPaletteText({{0, 0, 0}, {9, 9, 9}});
  struct {
    const char* name;
    TBytes bytes;
    bool refused;
  } cases[] = {
      {"notapal.txt", Bytes("hi\r\n"), true},
      {"short.pal", TBytes(767, 5), true},
      {"bom.pal", Bytes("\xEF\xBB\xBF" + jasc), false},
      {"raw.pal", RawPalette({{1, 2, 3}}), false},
  };
  for (const auto& c : cases) {
    TConverterFolder f;
    f.Put(c.name, c.bytes);
    f.Put("unit.shp", EncodeShp(2, 1, {RawFrame(0, 0, {{1, 0}})}));
    f.Put("a.png", PngImage(2, 1, 3, 8, {1, 0}));
    std::vector<TProcessResult> runs = {
        f.Run({"--palette", c.name, "--out", "a", "unit.shp"}),
        f.RunShpTool({"export", "--palette", c.name, "--out", "b", "unit.shp"}),
        f.RunShpTool({"encode", "--palette", c.name, "--out", "c.shp", "a.png"}),
    };
    for (const TProcessResult& r : runs) {
      EXPECT_EQ(r.ExitCode, c.refused ? 2 : 0) << c.name << ": " << r.Err;
      if (!c.refused) continue;
      ASSERT_EQ(Lines(r.Err).size(), 1u) << c.name << ": " << r.Err;
      EXPECT_NE(r.Err.find(std::string(c.name) + ": is not a palette"), std::string::npos) << r.Err;
    }
    EXPECT_EQ(f.FilesIn().size(), c.refused ? 3u : 6u) << c.name;
  }
  TConverterFolder f;
  f.PutText("notes.pal", "hi\r\n");
  f.Put("unit.shp", EncodeShp(2, 1, {RawFrame(0, 0, {{1, 0}})}));
  EXPECT_EQ(f.Run({"unit.shp"}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(f.File("unit001.bmp")), FrameImage(2, 1, ColourTable({}), {{1, 0}}));
}

// With a palette of 16 colours, black is not the undefined entry 16 but the
// nearest of entries 1 to 15; a palette of entry 0 alone maps nothing.
TEST(GameFiles, RgbPixelsMapOnlyToTheEntriesThePaletteDefines) {
  std::vector<TRgb> sixteen = {{255, 0, 255}};
  for (int i = 1; i < 16; ++i)
    sixteen.push_back({i * 16, i * 16, i * 16});
  TConverterFolder f;
  f.PutText("sixteen.pal", JascPaletteText(sixteen));
  f.PutText("one.pal", JascPaletteText(sixteen, "\r\n", 1));
  f.Put("rgb.png", PngImage(3, 1, 2, 8, {0, 0, 0, 255, 0, 255, 250, 250, 250}));
  f.Put("indexed.png", PngImage(3, 1, 3, 8, {4, 0, 7}));

  TProcessResult r =
      f.RunShpTool({"encode", "--palette", "sixteen.pal", "--out", "rgb.shp", "rgb.png"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  TScopedObject<TShp> shp(new TShp());
  shp->LoadShpFile(f.File("rgb.shp").c_str());
  ASSERT_EQ(shp->FrameCount, 1);
  const TShpSprite* frame = shp->FrameAt(0);
  ASSERT_NE(frame->Canvas, nullptr);
  EXPECT_EQ(TBytes(frame->Canvas->Block, frame->Canvas->Block + 3), (TBytes{1, 0, 15}));

  r = f.RunShpTool({"encode", "--palette", "one.pal", "--out", "one.shp", "rgb.png"});
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(Lines(r.Err),
            std::vector<std::string>{"shptool encode: rgb.png: is an RGB image, but the palette "
                                     "one.pal defines no colour besides entry 0 to map it to"});
  EXPECT_FALSE(std::filesystem::exists(f.File("one.shp")));
  r = f.RunShpTool({"encode", "--palette", "one.pal", "--out", "one.shp", "indexed.png"});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
}

}  // namespace
