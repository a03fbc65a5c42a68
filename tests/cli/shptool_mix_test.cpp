// shptool mix end to end, and info and export through archives.
#include <gtest/gtest.h>

#include "formats/mix_ids.h"
#include "shp2bmp_test_util.h"
#include "support/mix_builder.h"

namespace {

const std::vector<TRgb> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {9, 8, 7}};

TBytes Sprite(uint32_t seed) {
  return EncodeShp(
      9, 7,
      {CodedFrame(1, 1, SpeckledRows(6, 5, seed)), RawFrame(0, 0, SpeckledRows(9, 7, seed + 1))});
}

std::map<std::string, TBytes> FolderBytes(const TConverterFolder& f, const std::string& folder) {
  std::map<std::string, TBytes> files;
  for (const std::string& name : f.FilesIn(folder))
    files[name] = ReadFileBytes(f.File(folder + "/" + name));
  return files;
}

TEST(ShpToolMix, CreateListAndExtractRoundTrip) {
  TConverterFolder f;
  f.MakeFolder("in");
  const std::map<std::string, TBytes> files = {
      {"cheminf.shp", Sprite(1)}, {"b.pal", NoiseBytes(70, 2)}, {"zero.bin", {}}};
  for (const auto& [name, bytes] : files)
    f.Put("in/" + name, bytes);
  for (const char* ids : {"ts", "td"}) {
    SCOPED_TRACE(ids);
    TProcessResult made = f.RunShpTool({"mix", "create", "--out", "a.mix", "--ids", ids,
                                        "in/cheminf.shp", "in/b.pal", "in/zero.bin"});
    ASSERT_EQ(made.ExitCode, 0) << made.Err;
    TProcessResult list = f.RunShpTool({"mix", "list", "a.mix"});
    EXPECT_EQ(list.ExitCode, 0) << list.Err;
    std::vector<std::string> lines = Lines(list.Out);
    ASSERT_EQ(lines.size(), 4u);
    TMixIdKind kind = std::string(ids) == "td" ? TMixIdKind::Td : TMixIdKind::Ts;
    uint32_t offset = 0;
    int32_t previous = INT32_MIN;
    for (const std::string& line : lines) {
      size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
      ASSERT_NE(c, std::string::npos) << line;
      std::string name = line.substr(c + 1);
      uint32_t id = *ParseMixId(line.substr(0, a));
      EXPECT_EQ(id, MixId(kind, name)) << line;
      EXPECT_GT(static_cast<int32_t>(id), previous) << line;
      previous = static_cast<int32_t>(id);
      EXPECT_EQ(line.substr(a + 1, b - a - 1), std::to_string(offset)) << line;
      offset += std::stoul(line.substr(b + 1, c - b - 1));
      if (files.count(name)) {
        EXPECT_EQ(line.substr(b + 1, c - b - 1), std::to_string(files.at(name).size()));
      }
    }
    TProcessResult extract =
        f.RunShpTool({"mix", "extract", "--out", std::string("out") + ids, "a.mix"});
    EXPECT_EQ(extract.ExitCode, 0) << extract.Err;
    std::map<std::string, TBytes> out = FolderBytes(f, std::string("out") + ids);
    EXPECT_EQ(out.erase("local mix database.dat"), 1u);
    EXPECT_EQ(out, files);
  }
  TProcessResult two = f.RunShpTool({"mix", "list", "a.mix", "a.mix"});
  std::vector<std::string> lines = Lines(two.Out);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "a.mix");
  EXPECT_EQ(lines[5], "a.mix");
}

// main.mix (old layout, td, name table) holds pad.bin, a palette and
// conquer.mix (encrypted, no name table) holding two sprites.
void PutNestedArchive(const TConverterFolder& f) {
  TBytes inner =
      BuildMix({{"e1.shp", Sprite(3), std::nullopt}, {"e2.shp", Sprite(5), std::nullopt}},
               {false, true, true, TMixIdKind::Ts, false});
  f.Put("main.mix", BuildMix({{"pad.bin", NoiseBytes(31, 4), std::nullopt},
                              {"conquer.mix", inner, std::nullopt}},
                             {true, false, false, TMixIdKind::Td, true}));
  f.PutText("t.pal", JascPaletteText(kColours));
}

TEST(ShpToolMix, ExportThroughArchivesMatchesExportOfTheExtractedFile) {
  TConverterFolder f;
  PutNestedArchive(f);
  f.Put("e1.shp", Sprite(3));
  const std::string e1 = MixIdText(TsId("e1.shp"));
  for (const std::string& path :
       std::vector<std::string>{"main.mix/conquer.mix/e1.shp", "main.mix/A2361104/" + e1}) {
    SCOPED_TRACE(path);
    TProcessResult through =
        f.RunShpTool({"export", "--palette", "t.pal", "--out", "through", path});
    EXPECT_EQ(through.ExitCode, 0) << through.Err;
    TProcessResult alone =
        f.RunShpTool({"export", "--palette", "t.pal", "--out", "alone", "e1.shp"});
    std::map<std::string, TBytes> expected;
    for (auto& [name, bytes] : FolderBytes(f, "alone"))  // named after the ID: no name table
      expected[e1 + name.substr(2)] = bytes;
    EXPECT_EQ(FolderBytes(f, "through"), expected);
    TProcessResult info = f.RunShpTool({"info", path});
    TProcessResult infoAlone = f.RunShpTool({"info", "e1.shp"});
    EXPECT_EQ(info.Out, path + infoAlone.Out.substr(6));
  }
  TProcessResult all =
      f.RunShpTool({"export", "--format", "gif", "--palette", "t.pal", "--out", "all", "main.mix"});
  EXPECT_EQ(all.ExitCode, 0) << all.Err;
  EXPECT_EQ(f.FilesIn("all"),
            (std::vector<std::string>{MixIdText(TsId("e2.shp")) + ".gif", e1 + ".gif"}));
  TProcessResult missing = f.RunShpTool({"info", "main.mix/conquer.mix/e3.shp", "e1.shp"});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_NE(missing.Err.find("main.mix/conquer.mix: has no entry e3.shp"), std::string::npos)
      << missing.Err;
  EXPECT_EQ(Lines(missing.Out).size(), 3u);  // e1.shp still described
}

TEST(ShpToolMix, ListRecursiveAndNamesFile) {
  TConverterFolder f;
  PutNestedArchive(f);
  // The name that matters comes second, after a line ended by CR LF.
  f.PutText("names.txt", "unused.shp\r\ne2.shp\n");
  TProcessResult list =
      f.RunShpTool({"mix", "list", "--recursive", "--names", "names.txt", "main.mix"});
  EXPECT_EQ(list.ExitCode, 0) << list.Err;
  std::vector<std::string> lines = Lines(list.Out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], MixIdText(TdId("pad.bin")) + "\t0\t31\tpad.bin");
  EXPECT_EQ(lines[1].substr(0, 12), "A2361104\t31\t");
  EXPECT_EQ(lines[2], MixIdText(TsId("e1.shp")) + "\t0\t" + std::to_string(Sprite(3).size()) +
                          "\tconquer.mix/?");
  EXPECT_EQ(lines[3].substr(lines[3].rfind('\t')), "\tconquer.mix/e2.shp");
  EXPECT_EQ(lines[4].substr(lines[4].rfind('\t')), "\tlocal mix database.dat");
}

TEST(ShpToolMix, HostileNamesAndEntries) {
  TConverterFolder f;
  TBytes archive = BuildMix({{"../evil.shp", Sprite(1), std::nullopt},
                             {"a\\b.bin", NoiseBytes(20, 1), std::nullopt},
                             {"C:x.mix", BuildMix({}), std::nullopt},
                             {"bell\x07.bin", NoiseBytes(8, 2), std::nullopt},
                             {"good.bin", NoiseBytes(8, 3), std::nullopt},
                             {"past.bin", NoiseBytes(8, 4), std::nullopt}},
                            {false, false, false, TMixIdKind::Ts, true});
  // past.bin, the sixth entry, is made to reach one byte past the body.
  uint32_t body = static_cast<uint32_t>(archive.size()) - (10 + 7 * 12);
  archive[10 + 5 * 12 + 8] = static_cast<uint8_t>(body - archive[10 + 5 * 12 + 4] + 1);
  f.Put("h.mix", archive);
  TProcessResult extract = f.RunShpTool({"mix", "extract", "--out", "out", "h.mix"});
  EXPECT_EQ(extract.ExitCode, 1);
  EXPECT_EQ(Lines(extract.Err),
            (std::vector<std::string>{"shptool mix: h.mix: entry past.bin: the entry reaches past "
                                      "the end of the archive"}));
  auto id = [](const char* name) { return MixIdText(TsId(name)); };
  std::vector<std::string> expected = {id("../evil.shp") + ".shp",
                                       id("C:x.mix") + ".mix",
                                       id("a\\b.bin") + ".bin",
                                       id("bell\x07.bin") + ".bin",
                                       "good.bin",
                                       "local mix database.dat"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(f.FilesIn("out"), expected);
  EXPECT_EQ(f.FilesIn(""), (std::vector<std::string>{"h.mix", "out"}));
}

TEST(ShpToolMix, UsageErrorsAndHelp) {
  TConverterFolder f;
  f.Put("a.mix", BuildMix({}));
  const std::vector<std::vector<std::string>> usage = {
      {"mix"},
      {"mix", "pack", "a.mix"},
      {"mix", "list"},
      {"mix", "create", "a.mix"},
      {"mix", "create", "--out", "b.mix"},
      {"mix", "create", "--out", "b.mix", "--ids", "ra", "a.mix"},
      {"mix", "list", "--out", "d", "a.mix"},
      {"mix", "extract", "--recursive", "a.mix"},
  };
  for (const auto& args : usage) {
    TProcessResult r = f.RunShpTool(args);
    EXPECT_EQ(r.ExitCode, 2) << args.back();
    EXPECT_NE(r.Err.find("shptool mix --help"), std::string::npos) << r.Err;
  }
  TProcessResult help = f.RunShpTool({"mix", "--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_NE(help.Out.find("--recursive"), std::string::npos);
  EXPECT_EQ(f.RunShpTool({"mix", "list", "a.mix", "none.mix"}).ExitCode, 1);
  EXPECT_EQ(f.FilesIn(""), std::vector<std::string>{"a.mix"});
}

}  // namespace
