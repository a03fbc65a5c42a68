// shptool end to end: info and export as shp2bmp, encode from images, and
// the round trip of a sprite through its exported images.
#include <gtest/gtest.h>

#include "format_shp/shp.h"
#include "shp2bmp_test_util.h"
#include "support/bmp_image.h"
#include "support/png_image.h"

namespace {

const std::vector<TRgb> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};

// Sprites with every kind of frame export meets: coded and raw, clipped by
// the box, without pixels, of a kind that is not decoded, empty.
std::vector<std::pair<std::string, TBytes>> Sprites() {
  return {
      {"mixed.shp",
       EncodeShp(10, 8,
                 {CodedFrame(1, 2, SpeckledRows(6, 5, 11)), RawFrame(0, 0, SpeckledRows(10, 8, 12)),
                  FrameWithoutPixels(0, 0, 3, 3), FrameWithData(0, 0, 10, 8, 4, TBytes(80, 4)),
                  CodedFrame(0, 0, {TBytes(10, 0)})})},
      {"clipped.shp", EncodeShp(7, 3,
                                {CodedFrame(5, 1, SpeckledRows(6, 4, 3)),
                                 RawFrame(0, 0, {{0, 0, 0, 0, 0, 0, 9}})})},
      {"tiny.shp",
       EncodeShp(1, 1,
                 {RawFrame(0, 0, {{5}}), FrameWithoutPixels(0, 0, 0, 0), RawFrame(0, 0, {{0}})})},
      {"wide.shp", EncodeShp(1002, 2, {CodedFrame(0, 0, {[] {
                                                    TBytes row(1002, 0);
                                                    row[0] = row[1001] = 7;
                                                    return row;
                                                  }()})})},
      {"nobox.shp", EncodeShp(0, 5, {RawFrame(0, 0, {{1}}), FrameWithoutPixels(0, 0, 1, 1)})},
      {"game.shp",
       [] {
         // Kinds 1, 2 and 3 as the game's tools write them, upper bytes uninitialised.
         std::vector<TShpFrameIn> frames = {RawFrame(1, 0, SpeckledRows(5, 4, 7)),
                                            CodedFrame(0, 1, SpeckledRows(6, 3, 8)),
                                            RawFrame(0, 0, SpeckledRows(6, 4, 9))};
         for (uint32_t i = 0; i < frames.size(); ++i)
           frames[i].Compression = 0xCCCCCC01 + i;
         return EncodeShp(6, 4, frames);
       }()},
  };
}

// Every file of a folder by name.
std::map<std::string, TBytes> FolderBytes(const TConverterFolder& f, const std::string& folder) {
  std::map<std::string, TBytes> files;
  for (const std::string& name : f.FilesIn(folder))
    files[name] = ReadFileBytes(f.File(folder + "/" + name));
  return files;
}

TEST(ShpTool, InfoAndExportAreShp2Bmps) {
  TConverterFolder f;
  f.PutText("temperat.pal", JascPaletteText(kColours));
  for (const auto& [name, bytes] : Sprites()) {
    f.Put(name, bytes);
    TProcessResult old = f.Run({"--palette", "temperat.pal", "--out", "old", name});
    TProcessResult now = f.RunShpTool(
        {"export", "--format", "bmp", "--palette", "temperat.pal", "--out", "new", name});
    EXPECT_EQ(now.ExitCode, old.ExitCode) << name;
    EXPECT_EQ(FolderBytes(f, "new"), FolderBytes(f, "old")) << name;
    TProcessResult oldInfo = f.Run({"--info", "--frames", "2-9", name});
    TProcessResult info = f.RunShpTool({"info", "--frames", "2-9", name});
    EXPECT_EQ(info.ExitCode, oldInfo.ExitCode) << name;
    EXPECT_EQ(info.Out, oldInfo.Out) << name;
  }
  EXPECT_FALSE(FolderBytes(f, "new").empty());
}

TEST(ShpTool, EncodedExportsExportTheSameImages) {
  TConverterFolder f;
  f.PutText("temperat.pal", JascPaletteText(kColours));
  f.MakeFolder("again");
  for (const char* compression : {"auto", "rle", "raw"}) {
    for (const auto& [name, bytes] : Sprites()) {
      SCOPED_TRACE(name + " " + compression);
      std::string base = name.substr(0, name.find('.'));
      std::string first = std::string("a_") + compression + base, second = "b_" + first;
      f.Put(name, bytes);
      ASSERT_EQ(
          f.RunShpTool({"export", "--palette", "temperat.pal", "--out", first, name}).ExitCode, 0);
      TProcessResult encode =
          f.RunShpTool({"encode", "--compression", compression, "--out", "again/" + name, first});
      ASSERT_EQ(encode.ExitCode, 0) << encode.Err;
      EXPECT_EQ(encode.Err, "");
      ASSERT_EQ(
          f.RunShpTool({"export", "--palette", "temperat.pal", "--out", second, "again/" + name})
              .ExitCode,
          0);
      EXPECT_EQ(FolderBytes(f, second), FolderBytes(f, first));
    }
  }
}

TEST(ShpTool, EncodeTakesFilesInArgumentOrderAndFoldersInNaturalOrder) {
  TConverterFolder f;
  const TBytes palette = ColourTable(kColours);
  auto image = [&](uint8_t index) { return FrameImage(3, 2, palette, {{index, 0, index}}); };
  f.MakeFolder("in");
  f.Put("in/f10.bmp", image(10));
  f.Put("in/f2.BMP", image(2));
  f.Put("in/f1.png", PngImage(3, 2, 3, 8, {1, 0, 1, 0, 0, 0}));
  f.Put("in/notes.txt", {'x'});
  f.Put("first.bmp", image(99));
  // RGB: (0, 0, 250) is nearest to blue, entry 3; (0, 0, 0) is entry 0's colour.
  f.Put("rgb.png",
        PngImage(3, 2, 2, 8, {0, 0, 250, 0, 0, 0, 0, 0, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  f.PutText("temperat.pal", JascPaletteText(kColours));
  TProcessResult r = f.RunShpTool(
      {"encode", "--palette", "temperat.pal", "--out", "out.shp", "first.bmp", "in", "rgb.png"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  TShp* shp = new TShp();
  shp->LoadShpFile(f.File("out.shp").c_str());
  std::vector<uint8_t> firstPixels;
  for (int32_t i = 0; i < shp->FrameCount; ++i)
    firstPixels.push_back(shp->FrameAt(i)->Canvas->Block[0]);
  EXPECT_EQ(firstPixels, (std::vector<uint8_t>{99, 1, 2, 10, 3}));
  EXPECT_EQ(shp->Width, 3);
  EXPECT_EQ(shp->Height, 2);
  Free(shp);
}

TEST(ShpTool, EncodeErrorsNameTheFileAndWriteNothing) {
  const TBytes palette = ColourTable(kColours);
  struct {
    const char* name;
    std::vector<std::pair<std::string, TBytes>> files;
    std::vector<std::string> args;
    int exitCode;
    std::string error;
  } cases[] = {
      {"sizes differ",
       {{"a.bmp", FrameImage(3, 2, palette, {})}, {"b.bmp", FrameImage(2, 3, palette, {})}},
       {"a.bmp", "b.bmp"},
       1,
       "shptool encode: b.bmp: is 2 x 3, not 3 x 2 as a.bmp"},
      {"heights differ",
       {{"a.bmp", FrameImage(3, 2, palette, {})}, {"b.bmp", FrameImage(3, 3, palette, {})}},
       {"a.bmp", "b.bmp"},
       1,
       "shptool encode: b.bmp: is 3 x 3, not 3 x 2 as a.bmp"},
      {"box over 65535",
       {{"b.bmp", PngImage(65536, 1, 3, 8, TBytes(65536, 0))}},
       {"b.bmp"},
       1,
       "shptool encode: b.bmp: is 65536 x 1; a sprite box is at most 65535 x 65535"},
      {"too large to load",
       {{"a.png", PngImage(8192, 4096, 3, 8, TBytes(8192 * 4096, 0))}},
       {"a.png", "a.png", "a.png", "a.png", "a.png", "a.png", "a.png", "a.png"},
       1,
       "shptool encode: a.png: one frame too many: 8 frames of 8192 x 4096 would need 513 MiB "
       "of canvases and images to load, more than the 512 MiB allowed"},
      {"not an image",
       {{"a.bmp", {'t', 'e', 'x', 't'}}},
       {"a.bmp"},
       1,
       "shptool encode: a.bmp: not a BMP or PNG image"},
      {"missing", {}, {"a.png"}, 1, "shptool encode: a.png: cannot open the file"},
      {"16-bit",
       {{"a.bmp",
         [] {
           TBytes b = FrameImage(2, 1, {}, {});  // 1 x 1 would be the placeholder
           b[28] = 16;
           b[10] = 54;
           b[11] = 0;
           return b;
         }()}},
       {"a.bmp"},
       1,
       "shptool encode: a.bmp: unsupported BMP image: 16 bits per pixel"},
      {"empty folder",
       {{"in/a.txt", {}}},
       {"in"},
       1,
       "shptool encode: in: the folder holds no *.bmp or *.png image"},
      {"RGB without palette",
       {{"a.png", PngImage(1, 1, 2, 8, {1, 2, 3})}},
       {"a.png"},
       2,
       "shptool encode: a.png: is an RGB image: give --palette FILE.pal to map its colours"},
      {"missing palette",
       {{"a.bmp", FrameImage(3, 2, palette, {})}},
       {"--palette", "none.pal", "a.bmp"},
       2,
       "shptool encode: none.pal: cannot open the palette"},
      {"bad compression",
       {{"a.bmp", FrameImage(3, 2, palette, {})}},
       {"--compression", "zip", "a.bmp"},
       2,
       "shptool encode: bad compression \"zip\": use auto, rle or raw"},
      {"no images", {}, {}, 2, "shptool encode: no images given"},
  };
  for (const auto& c : cases) {
    TConverterFolder f;
    f.MakeFolder("in");
    for (const auto& [name, bytes] : c.files)
      f.Put(name, bytes);
    std::vector<std::string> args = {"encode", "--out", "out.shp"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    TProcessResult r = f.RunShpTool(args);
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.name;
    std::vector<std::string> lines = Lines(r.Err);
    ASSERT_FALSE(lines.empty()) << c.name;
    EXPECT_EQ(lines[0].substr(0, c.error.size()), c.error) << c.name;
    // One error line; usage errors add where help is.
    bool oneLine =
        lines.size() == 1 || (lines.size() == 2 && lines[1] == "Try shptool encode --help.");
    EXPECT_TRUE(oneLine) << c.name << ": " << r.Err;
    EXPECT_FALSE(std::filesystem::exists(f.File("out.shp"))) << c.name;
    for (const std::string& name : f.FilesIn())
      EXPECT_EQ(name.find(".partial"), std::string::npos) << c.name << ": " << name;
  }
}

TEST(ShpTool, UsageAndHelp) {
  struct {
    std::vector<std::string> args;
    int exitCode;
    std::string out;  // the start of standard output
    std::string err;  // the start of standard error
  } cases[] = {
      {{"--help"}, 0, "Usage: shptool COMMAND", ""},
      {{"info", "--help"}, 0, "Usage: shptool info", ""},
      {{"export", "--help"}, 0, "Usage: shptool export", ""},
      {{"encode", "--help"}, 0, "Usage: shptool encode", ""},
      {{}, 2, "", "shptool: no command given"},
      {{"convert", "a.shp"}, 2, "", "shptool: unknown command convert"},
      {{"info", "--palette", "a.pal", "a.shp"}, 2, "", "shptool info: unknown option --palette"},
      {{"export", "--info", "a.shp"}, 2, "", "shptool export: unknown option --info"},
      {{"export", "--format", "tga", "--palette", "a.pal", "a.shp"},
       2,
       "",
       "shptool export: no export format \"tga\"; formats: bmp, png, gif, sheet"},
      {{"encode", "a.bmp"}, 2, "", "shptool encode: no output file given"},
  };
  TConverterFolder f;
  f.PutText("a.pal", JascPaletteText(kColours));
  for (const auto& c : cases) {
    TProcessResult r = f.RunShpTool(c.args);
    std::string name = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(r.ExitCode, c.exitCode) << name;
    EXPECT_EQ(r.Out.substr(0, c.out.size()), c.out) << name;
    EXPECT_EQ(r.Err.substr(0, c.err.size()), c.err) << name;
    if (c.out.empty()) {
      EXPECT_EQ(r.Out, "") << name;
    }
    if (c.err.empty()) {
      EXPECT_EQ(r.Err, "") << name;
    }
  }
}

}  // namespace
