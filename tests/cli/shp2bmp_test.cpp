// The converter end to end: the built program run on files in a folder.
#include <gtest/gtest.h>

#include "formats/palette_file.h"
#include "format_shp/shp.h"
#include "shp2bmp_test_util.h"
#include "support/bmp_image.h"
#include "toolkit/base/le_bytes.h"

namespace {

const std::vector<TRgb> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};

const std::vector<TBytes> kCodedRows = SpeckledRows(6, 5, 11);
const std::vector<TBytes> kRawRows = SpeckledRows(10, 8, 12);

// A 10 x 8 sprite: a coded frame, a raw one, one without pixels and one of a
// kind that is not decoded.
TBytes TestSprite() {
  return EncodeShp(10, 8,
                   {CodedFrame(1, 2, kCodedRows), RawFrame(0, 0, kRawRows),
                    FrameWithoutPixels(0, 0, 3, 3), FrameWithData(0, 0, 10, 8, 4, TBytes(80, 4))});
}

// What the viewer's code saves for a frame of a sprite file with a palette.
TBytes ViewerImage(const TConverterFolder& folder, const std::string& sprite,
                   const std::string& palette, int index) {
  TBytes table(kColourTableSize, 0);
  ReadJascPalette(folder.File(palette).c_str(), table.data());
  TShp* shp = new TShp();
  shp->LoadShpFile(folder.File(sprite).c_str());
  shp->SetPalette(table.data());
  shp->BuildBitmaps();
  std::string saved = folder.File("viewer.bmp");
  EXPECT_TRUE(shp->GetFrameBitmap(index)->SaveBmpFile(saved.c_str()));
  Free(shp);
  TBytes bytes = ReadFileBytes(saved);
  std::filesystem::remove(saved);
  return bytes;
}

TEST(Shp2Bmp, WritesEveryFrameAsTheViewerSavesIt) {
  TConverterFolder f;
  f.Put("unit.shp", TestSprite());
  f.PutText("temperat.pal", JascPaletteText(kColours));
  TProcessResult r = f.Run({"--palette", "temperat.pal", "--out", "out", "unit.shp"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(r.Out, "");
  ASSERT_EQ(f.FilesIn("out"),
            (std::vector<std::string>{"unit001.bmp", "unit002.bmp", "unit003.bmp", "unit004.bmp"}));
  for (int i = 0; i < 4; ++i) {
    std::string name = "out/unit00" + std::to_string(i + 1) + ".bmp";
    EXPECT_EQ(ReadFileBytes(f.File(name)), ViewerImage(f, "unit.shp", "temperat.pal", i)) << name;
  }
  const TBytes table = ColourTable(kColours);
  EXPECT_EQ(ReadFileBytes(f.File("out/unit001.bmp")),
            FrameImage(10, 8, table, PlaceInBox(10, 8, 1, 2, kCodedRows)));
  EXPECT_EQ(ReadFileBytes(f.File("out/unit002.bmp")), FrameImage(10, 8, table, kRawRows));
  EXPECT_EQ(ReadFileBytes(f.File("out/unit004.bmp")), FrameImage(10, 8, table, {}));
  TBytes placeholder = ReadFileBytes(f.File("out/unit003.bmp"));
  ASSERT_GE(placeholder.size(), 54u);
  EXPECT_EQ(ReadLe32(placeholder.data() + 18), 1u);
  EXPECT_EQ(ReadLe32(placeholder.data() + 22), 1u);
}

TEST(Shp2Bmp, NamesComeFromTheSpriteFileNameOnly) {
  TConverterFolder f;
  f.MakeFolder("sprites.v2");
  f.Put("sprites.v2/my.unit.shp", EncodeShp(2, 2, {RawFrame(0, 0, {{1, 2}})}));
  f.Put("noext", EncodeShp(2, 2, {RawFrame(0, 0, {{3, 4}})}));
  f.PutText("p.pal", JascPaletteText(kColours));
  TProcessResult r = f.Run({"sprites.v2/my.unit.shp", "noext", "--palette=p.pal"});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(f.FilesIn(),
            (std::vector<std::string>{"001.bmp", "my001.bmp", "noext", "p.pal", "sprites.v2"}));
}

TEST(Shp2Bmp, FrameNumbersFrom1000HaveFourDigits) {
  TConverterFolder f;
  f.Put("big.shp", EncodeShp(1, 1, std::vector<TShpFrameIn>(1001, FrameWithoutPixels(0, 0, 1, 1))));
  f.PutText("p.pal", JascPaletteText(kColours));
  TProcessResult r =
      f.Run({"--palette", "p.pal", "--out", "out", "--frames", "99-100,999-1001", "big.shp"});
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(f.FilesIn("out"), (std::vector<std::string>{"big099.bmp", "big100.bmp", "big1000.bmp",
                                                        "big1001.bmp", "big999.bmp"}));
}

TEST(Shp2Bmp, FrameLists) {
  TConverterFolder f;
  f.Put("unit.shp", EncodeShp(2, 1, std::vector<TShpFrameIn>(6, RawFrame(0, 0, {{5, 6}}))));
  f.PutText("p.pal", JascPaletteText(kColours));
  struct {
    const char* list;
    std::vector<std::string> written;
    int exitCode;
    const char* error;
  } cases[] = {
      {"2,4-5", {"unit002.bmp", "unit004.bmp", "unit005.bmp"}, 0, ""},
      {"3-1,2", {}, 2, "bad frame list"},
      {"1-3,2", {"unit001.bmp", "unit002.bmp", "unit003.bmp"}, 0, ""},
      {"6", {"unit006.bmp"}, 0, ""},
      {"5-9", {"unit005.bmp", "unit006.bmp"}, 1, "shp2bmp: unit.shp: has no frame 7-9 (it has 6)"},
      {"6-9", {"unit006.bmp"}, 1, "shp2bmp: unit.shp: has no frame 7-9 (it has 6)"},
      {"8,2,10-11", {"unit002.bmp"}, 1, "shp2bmp: unit.shp: has no frame 8, 10-11 (it has 6)"},
      {"0", {}, 2, "bad frame list"},
      {"a", {}, 2, "bad frame list"},
      {"1,,2", {}, 2, "bad frame list"},
      {"1,", {}, 2, "bad frame list"},
      {"1-", {}, 2, "bad frame list"},
      {"-2", {}, 2, "bad frame list"},
      {"1;2", {}, 2, "bad frame list"},
      {" 1", {}, 2, "bad frame list"},
      {"65536", {}, 2, "bad frame list"},
      {"", {}, 2, "--frames needs a value"},
  };
  int run = 0;
  for (const auto& c : cases) {
    std::string out = "out" + std::to_string(run++);
    TProcessResult r = f.Run({"--palette", "p.pal", "--out", out, "--frames", c.list, "unit.shp"});
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.list;
    EXPECT_EQ(f.FilesIn(out), c.written) << c.list;
    EXPECT_NE(r.Err.find(c.error), std::string::npos) << c.list << ": " << r.Err;
  }
}

TEST(Shp2Bmp, InfoPrintsTheHeadersAndWritesNothing) {
  TConverterFolder f;  // no palette: --info needs none
  f.Put("unit.shp", TestSprite());
  size_t codedSize = 0;
  for (const TBytes& row : kCodedRows)
    codedSize += EncodeCodedRow(row).size();
  const std::string rawOffset = std::to_string(104 + codedSize);
  const std::string otherOffset = std::to_string(104 + codedSize + 80);
  TProcessResult r = f.Run({"--info", "unit.shp"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(Lines(r.Out),
            (std::vector<std::string>{
                "unit.shp: sprite 10 x 8, 4 frames",
                "frame 001: x=1 y=2 width=6 height=5 compression=3 extra1=0 extra2=0 offset=104 "
                "pixels=yes",
                "frame 002: x=0 y=0 width=10 height=8 compression=0 extra1=0 extra2=0 offset=" +
                    rawOffset + " pixels=yes",
                "frame 003: x=0 y=0 width=3 height=3 compression=3 extra1=0 extra2=0 offset=0 "
                "pixels=no",
                "frame 004: x=0 y=0 width=10 height=8 compression=4 extra1=0 extra2=0 offset=" +
                    otherOffset + " pixels=yes",
            }));
  EXPECT_EQ(f.FilesIn(), std::vector<std::string>{"unit.shp"});

  r = f.Run({"--info", "--frames", "3", "unit.shp"});
  EXPECT_EQ(Lines(r.Out).size(), 2u);
  EXPECT_EQ(Lines(r.Out)[1].substr(0, 10), "frame 003:");
}

TEST(Shp2Bmp, TheDefaultPaletteIsThePalFileOfTheWorkingFolder) {
  TConverterFolder f;
  f.MakeFolder("colours/folder.pal");  // a folder is never a palette
  f.PutText("colours/Desert.PAL", JascPaletteText({{1, 2, 3}, {4, 5, 6}}));
  f.Put("colours/unit.shp", EncodeShp(2, 1, {RawFrame(0, 0, {{1, 0}})}));
  TProcessResult r = f.Run({"unit.shp"}, "colours");
  EXPECT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(ReadFileBytes(f.File("colours/unit001.bmp")),
            FrameImage(2, 1, ColourTable({{1, 2, 3}, {4, 5, 6}}), {{1, 0}}));

  f.MakeFolder("plain/x.pal");
  f.Put("plain/unit.shp", EncodeShp(2, 1, {RawFrame(0, 0, {{1, 0}})}));
  r = f.Run({"unit.shp"}, "plain");
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(Lines(r.Err).size(), 1u);
  EXPECT_NE(r.Err.find("no palette"), std::string::npos);
  EXPECT_EQ(f.FilesIn("plain"), (std::vector<std::string>{"unit.shp", "x.pal"}));

  r = f.Run({"--palette", "missing.pal", "unit.shp"}, "plain");
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_NE(r.Err.find("missing.pal: cannot open the palette"), std::string::npos);
}

TEST(Shp2Bmp, BadFilesGetOneErrorLineAndTheOthersAreConverted) {
  TConverterFolder f;
  f.PutText("p.pal", JascPaletteText(kColours));
  f.Put("good.shp", EncodeShp(2, 2, {RawFrame(0, 0, {{1, 2}, {3, 4}})}));
  const TBytes table = EncodeShp(2, 2, std::vector<TShpFrameIn>(3, RawFrame(0, 0, {{1}})));
  f.Put("short.shp", TBytes(table.begin(), table.begin() + 7));
  f.Put("table.shp", TBytes(table.begin(), table.begin() + 8 + 24 + 5));
  f.Put("huge.shp", EncodeShp(65535, 65535, {RawFrame(0, 0, {{1}})}));
  f.Put("heavy.shp", EncodeShp(4096, 4096, std::vector<TShpFrameIn>(40, RawFrame(0, 0, {{1}}))));
  struct {
    const char* file;
    const char* error;
  } bad[] = {
      {"missing.shp", "cannot open the file"},
      {"short.shp", "not an SHP file: 7 bytes, shorter than the 8-byte header"},
      {"table.shp", "not an SHP file: its table of 3 frames needs 80 bytes, the file has 37"},
      {"huge.shp", "refused: a frame image of the 65535 x 65535 sprite box would need"},
      {"heavy.shp", "refused: its frames with pixels would need 1280 MiB of canvases and images"},
  };
  std::vector<std::string> args = {"--palette", "p.pal", "--out", "out"};
  for (const auto& b : bad)
    args.push_back(b.file);
  args.push_back("good.shp");
  TProcessResult r = f.Run(args);
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(f.FilesIn("out"), std::vector<std::string>{"good001.bmp"});
  std::vector<std::string> lines = Lines(r.Err);
  ASSERT_EQ(lines.size(), std::size(bad)) << r.Err;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string start = std::string("shp2bmp: ") + bad[i].file + ": " + bad[i].error;
    EXPECT_EQ(lines[i].substr(0, start.size()), start);
  }
}

TEST(Shp2Bmp, RepairsAreWarningsUnlessQuiet) {
  TConverterFolder f;
  f.PutText("p.pal", JascPaletteText(kColours));
  TBytes damaged =
      EncodeShp(4, 4, {RawFrame(3, 3, {{1, 2}, {3, 4}}), CodedFrame(0, 0, {{5, 6, 7, 8}})});
  damaged.resize(damaged.size() - 2);
  f.Put("damaged.shp", damaged);
  f.Put("empty.shp", EncodeShp(4, 4, {}));
  f.Put("two.shp", EncodeShp(4, 4,
                             {RawFrame(0, 0, {{1}}), RawFrame(3, 0, {{1, 2}}),
                              RawFrame(0, 0, {{3}}), CodedFrame(0, 3, {{4}, {5}})}));
  f.Put("two.v2.shp", EncodeShp(4, 4, {RawFrame(0, 0, {{1}})}));  // the same sprite name
  std::vector<std::string> args = {"--palette", "p.pal",   "damaged.shp",
                                   "empty.shp", "two.shp", "two.v2.shp"};
  TProcessResult r = f.Run(args);
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(Lines(r.Err),
            (std::vector<std::string>{
                "shp2bmp: damaged.shp: warning: frame 001 reaching outside the 4 x 4 sprite box: "
                "clipped to it",
                "shp2bmp: damaged.shp: warning: frame 002 with data cut short by the end of the "
                "file: the missing pixels are colour 0",
                "shp2bmp: empty.shp: warning: the sprite has no frames",
                "shp2bmp: two.shp: warning: 2 frames reaching outside the 4 x 4 sprite box: "
                "clipped to it (first: frame 002)",
                "shp2bmp: two.v2.shp: warning: its frames get the same names as those of two.shp "
                "and replace them"}));
  EXPECT_EQ(ReadFileBytes(f.File("damaged002.bmp")),
            FrameImage(4, 4, ColourTable(kColours), {{5, 6, 0, 0}}));

  args.insert(args.begin(), "--quiet");
  r = f.Run(args);
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Err, "");
}

TEST(Shp2Bmp, AWriteThatFailsLeavesNoFileAndFails) {
  TConverterFolder f;
  f.PutText("p.pal", JascPaletteText(kColours));
  f.Put("unit.shp", EncodeShp(2, 2, std::vector<TShpFrameIn>(3, RawFrame(0, 0, {{1, 2}}))));
  f.MakeFolder("out/unit002.bmp");  // the name of frame 2 is taken by a folder
  TProcessResult r = f.Run({"--palette", "p.pal", "--out", "out", "unit.shp"});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("cannot write out"), std::string::npos) << r.Err;
  EXPECT_EQ(f.FilesIn("out"), (std::vector<std::string>{"unit001.bmp", "unit002.bmp"}));
  EXPECT_EQ(f.FilesIn("out/unit002.bmp"), std::vector<std::string>{});

  f.PutText("taken", "a file, not a folder");
  r = f.Run({"--palette", "p.pal", "--out", "taken", "unit.shp"});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("taken: cannot create the output folder"), std::string::npos) << r.Err;
}

TEST(Shp2Bmp, UsageErrorsAndHelp) {
  TConverterFolder f;
  f.PutText("p.pal", JascPaletteText(kColours));
  struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{}, "no SHP files given"},
      {{"--palette", "p.pal"}, "no SHP files given"},
      {{"--bogus", "unit.shp"}, "unknown option --bogus"},
      {{"unit.shp", "--palette"}, "--palette needs a value"},
      {{"--out=", "unit.shp"}, "--out needs a value"},
  };
  for (const auto& c : cases) {
    TProcessResult r = f.Run(c.args);
    EXPECT_EQ(r.ExitCode, 2) << c.error;
    EXPECT_NE(r.Err.find(c.error), std::string::npos) << r.Err;
  }
  TProcessResult help = f.Run({"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_EQ(help.Err, "");
  for (const char* text :
       {"Usage: shp2bmp", "--palette", "--out", "--frames", "--info", "--quiet", "Exit status"}) {
    EXPECT_NE(help.Out.find(text), std::string::npos) << text;
  }
}

}  // namespace
