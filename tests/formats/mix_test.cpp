// Archive indexes, names and the writer, on archives built in memory and
// on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "formats/mix_ids.h"
#include "formats/mix_index.h"
#include "formats/mix_key.h"
#include "formats/mix_names.h"
#include "formats/mix_path.h"
#include "formats/mix_source.h"
#include "formats/mix_walk.h"
#include "formats/mix_writer.h"
#include "support/mix_builder.h"
#include "toolkit/base/le_bytes.h"

namespace {

TBytes Hex(const std::string& text) {
  TBytes bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

TBytes EntryBytes(const TMixSource& source, const TMixIndex& index, const TMixEntry& entry) {
  TBytes out;
  EXPECT_TRUE(CopyMixRange(source, index.EntryStart(entry), entry.Size,
                           [&](const uint8_t* data, uint32_t size) {
                             out.insert(out.end(), data, data + size);
                             return true;
                           }));
  return out;
}

// A sprite header that passes HasSpriteHeader, and some bytes after it.
TBytes SpriteLike(uint16_t width, uint16_t height, uint16_t frames, uint32_t size) {
  TBytes bytes;
  PutLe16(bytes, 0);
  PutLe16(bytes, width);
  PutLe16(bytes, height);
  PutLe16(bytes, frames);
  bytes.resize(size, 0);
  return bytes;
}

TEST(MixIds, KnownHashesOfBothKinds) {
  struct {
    std::string name;
    TMixIdKind kind;
    uint32_t id;
  } cases[] = {
      {"cheminf.shp", TMixIdKind::Ts, 0x0678AC5D},
      {"CHEMINF.SHP", TMixIdKind::Ts, 0x0678AC5D},
      {"conquer.mix", TMixIdKind::Td, 0xA2361104},
      {"local mix database.dat", TMixIdKind::Ts, 0x366E051F},
      {"local mix database.dat", TMixIdKind::Td, 0x54C2D545},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MixId(c.kind, c.name), c.id) << c.name;
  EXPECT_EQ(MixIdText(0x0678AC5D), "0678AC5D");
  EXPECT_EQ(ParseMixId("0678ac5D"), 0x0678AC5Du);
  EXPECT_FALSE(ParseMixId("0678AC5"));
  EXPECT_FALSE(ParseMixId("0678AC5G"));
}

TEST(MixKey, KnownKeyAndFirstBlockOfARealArchive) {
  TBytes source = Hex(
      "e89b0250ce1cd93967726e64fc2168f9e1b00b4b37050f6ee4f5fc1b12fd247f3913569876b0c11e25230dafcb8"
      "dbc2945d736427bb62fe59f06db1527a3694b11392472652294dff7105b4d24229006");
  ASSERT_EQ(source.size(), kMixKeySourceSize);
  uint8_t key[kMixKeySize];
  MixKeyOfSource(source.data(), key);
  EXPECT_EQ(TBytes(key, key + kMixKeySize),
            Hex("820603231a9db643561818181818181818181818181818181818181818181818d23b90c2ac043a40"
                "dcbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"));
  TBytes block = Hex("b1f102e8e677132f");
  TMixCipher(key).Decrypt(block.data(), 8);
  EXPECT_EQ(block, Hex("0b00b5d20200b0ef"));
}

TEST(MixIndex, EveryLayoutReadsItsEntriesAndNames) {
  const std::vector<TMixEntrySpec> entries = {
      {"e1.shp", NoiseBytes(300, 1), std::nullopt},
      {"empty.bin", {}, std::nullopt},
      {"conquer.mix", NoiseBytes(17, 2), std::nullopt},
  };
  struct {
    const char* what;
    TMixBuild how;
    TMixLayout layout;
  } cases[] = {
      {"old, td", {true, false, false, TMixIdKind::Td, true}, TMixLayout::Old},
      {"new, ts", {false, false, false, TMixIdKind::Ts, true}, TMixLayout::New},
      {"new, td, checksum", {false, false, true, TMixIdKind::Td, true}, TMixLayout::New},
      {"encrypted", {false, true, false, TMixIdKind::Ts, true}, TMixLayout::New},
      {"encrypted, checksum", {false, true, true, TMixIdKind::Ts, true}, TMixLayout::New},
      {"no name table", {false, false, false, TMixIdKind::Ts, false}, TMixLayout::New},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TBytes archive = BuildMix(entries, c.how);
    TMemoryMixSource source(archive.data(), archive.size());
    TMixIndex index;
    std::string error;
    ASSERT_TRUE(ReadMixIndex(source, index, error)) << error;
    EXPECT_EQ(index.Layout, c.layout);
    EXPECT_EQ(index.Encrypted, c.how.Encrypted);
    EXPECT_EQ(index.Checksummed, c.how.Checksummed);
    ASSERT_EQ(index.Entries.size(), entries.size() + (c.how.NameTable ? 1 : 0));
    TMixNames names;
    EXPECT_EQ(ReadMixNameTable(source, index, names), c.how.NameTable);
    for (size_t i = 0; i < entries.size(); ++i) {
      const TMixEntry& entry = index.Entries[i];
      EXPECT_EQ(entry.Id, MixId(c.how.Ids, entries[i].Name));
      EXPECT_EQ(entry.Fault, TMixEntryFault::None);
      EXPECT_EQ(EntryBytes(source, index, entry), entries[i].Data);
      const std::string* name = names.Find(entry.Id);
      EXPECT_EQ(name ? *name : "", c.how.NameTable ? entries[i].Name : "");
    }
    EXPECT_EQ(index.BodyStart + index.BodySize + (c.how.Checksummed ? 20 : 0), archive.size());
  }
}

TEST(MixIndex, HostileIndexesAreRefusedOrTheirEntriesMarked) {
  TBytes good = BuildMix({{"a", NoiseBytes(40, 3), std::nullopt}});
  auto withEntry = [](uint32_t offset, uint32_t size) {
    TBytes bytes =
        BuildMix({{"a", NoiseBytes(40, 3), std::nullopt}, {"b", NoiseBytes(40, 4), std::nullopt}});
    WriteLe32(bytes.data() + 10 + 12 + 4, offset);
    WriteLe32(bytes.data() + 10 + 12 + 8, size);
    return bytes;
  };
  TBytes encrypted = BuildMix({{"a", NoiseBytes(40, 3), std::nullopt}}, {false, true});
  // The second entry reaches one byte into the checksum after the body.
  TBytes intoChecksum =
      BuildMix({{"a", NoiseBytes(40, 3), std::nullopt}, {"b", NoiseBytes(40, 4), std::nullopt}},
               {false, false, true});
  WriteLe32(intoChecksum.data() + 6, 81);  // the body size says so too
  WriteLe32(intoChecksum.data() + 10 + 12 + 8, 41);
  struct {
    const char* what;
    TBytes bytes;
    bool reads;
    TMixEntryFault second;
  } cases[] = {
      {"one byte", {1}, false, {}},
      {"flags cut", {0, 0, 0}, false, {}},
      {"unknown flag", {0, 0, 4, 0, 0, 0, 0, 0, 0, 0}, false, {}},
      {"header cut", TBytes(good.begin(), good.begin() + 9), false, {}},
      {"count beyond the file", TBytes(good.begin(), good.begin() + 21), false, {}},
      {"old count beyond the file", {0xFF, 0xFF, 0, 0, 0, 0}, false, {}},
      {"encrypted, key source cut", TBytes(encrypted.begin(), encrypted.begin() + 80), false, {}},
      {"encrypted, table cut", TBytes(encrypted.begin(), encrypted.begin() + 90), false, {}},
      {"entry just inside", withEntry(40, 40), true, TMixEntryFault::None},
      {"entry one byte past the end", withEntry(41, 40), true, TMixEntryFault::PastEnd},
      {"entry offset wraps", withEntry(0xFFFFFFF0, 0x20), true, TMixEntryFault::PastEnd},
      {"entry overlaps the first", withEntry(39, 1), true, TMixEntryFault::Overlaps},
      {"empty entry inside another", withEntry(10, 0), true, TMixEntryFault::None},
      {"entry into the checksum", intoChecksum, true, TMixEntryFault::PastEnd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryMixSource source(c.bytes.data(), c.bytes.size());
    TMixIndex index;
    std::string error;
    ASSERT_EQ(ReadMixIndex(source, index, error), c.reads);
    EXPECT_EQ(error.empty(), c.reads);
    if (!c.reads) continue;
    ASSERT_EQ(index.Entries.size(), 2u);
    EXPECT_EQ(index.Entries[1].Fault, c.second);
    EXPECT_EQ(IsMixArchive(source), c.second != TMixEntryFault::PastEnd);
  }
}

TEST(MixIndex, SpriteHeadersAreToldByTheirFields) {
  struct {
    const char* what;
    TBytes bytes;
    bool sprite;
  } cases[] = {
      {"plain", SpriteLike(4, 4, 1, 32), true},
      {"largest box", SpriteLike(4096, 4096, 2, 56), true},
      {"frame table one byte short", SpriteLike(4, 4, 2, 55), false},
      {"width 0", SpriteLike(0, 4, 1, 32), false},
      {"height 4097", SpriteLike(4, 4097, 1, 32), false},
      {"no frames", SpriteLike(4, 4, 0, 32), false},
      {"first uint16 not 0",
       [] {
         TBytes b = SpriteLike(4, 4, 1, 32);
         b[0] = 1;
         return b;
       }(),
       false},
  };
  for (const auto& c : cases) {
    TMemoryMixSource source(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(HasSpriteHeader(source), c.sprite) << c.what;
  }
}

TEST(MixNames, UntrustedNamesNeverBecomePaths) {
  struct {
    std::string name;
    bool safe;
  } cases[] = {
      {"e1.shp", true},   {"local mix database.dat", true},
      {"", false},        {".", false},
      {"..", false},      {"a..b", false},
      {"a/b", false},     {"a\\b", false},
      {"C:x.shp", false}, {std::string("a\x01"), false},
      {"a\x7f", false},   {"\xc3\x96lfass.shp", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.name;
}

TEST(MixNames, ATableCutShortKeepsTheNamesBeforeTheCut) {
  TBytes table = MakeMixNameTable({"one.shp", "two.shp"});
  struct {
    const char* what;
    uint32_t size;
    uint32_t count;  // 0: as written
    std::vector<std::string> found;
  } cases[] = {
      {"whole", static_cast<uint32_t>(table.size()), 0, {"one.shp", "two.shp", kMixNameTableName}},
      {"count of one", static_cast<uint32_t>(table.size()), 1, {"one.shp"}},
      {"second name cut", 52 + 8 + 3, 0, {"one.shp"}},
      {"header cut", 51, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TBytes bytes = table;
    if (c.count) WriteLe32(bytes.data() + 48, c.count);
    TMixNames names;
    ParseMixNameTable(bytes.data(), c.size, names);
    EXPECT_EQ(names.Count(), 2 * c.found.size());
    for (const std::string& name : c.found)
      EXPECT_NE(names.Find(TsId(name)), nullptr) << name;
  }
}

// An archive holding `inner` as "inner.mix", `levels` times over.
TBytes Nest(TBytes inner, int levels) {
  for (int i = 0; i < levels; ++i)
    inner =
        BuildMix({{"inner.mix", inner, std::nullopt}}, {false, false, false, TMixIdKind::Ts, true});
  return inner;
}

TEST(MixWalk, NestedArchivesAreFollowedEightLevelsDeep) {
  TBytes core = BuildMix({{"e1.shp", SpriteLike(2, 2, 1, 40), std::nullopt}});
  struct {
    int levels;
    size_t visits;
    size_t faults;
  } cases[] = {{8, 8 * 2 + 1, 0}, {9, 9 * 2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.levels);
    TBytes archive = Nest(core, c.levels);
    TMemoryMixSource source(archive.data(), archive.size());
    std::vector<TMixVisit> visits;
    size_t faults = 0;
    TMixWalk walk;
    walk.Recursive = true;
    walk.Visit = [&](const TMixVisit& v) { visits.push_back(v); };
    walk.Fault = [&](const std::string&, const std::string&) { ++faults; };
    std::string error;
    ASSERT_TRUE(WalkMixArchive(source, walk, error));
    EXPECT_EQ(visits.size(), c.visits);
    EXPECT_EQ(faults, c.faults);
    if (c.faults == 0) {
      auto deepest = std::find_if(visits.begin(), visits.end(),
                                  [](const TMixVisit& v) { return v.Depth == 8; });
      ASSERT_NE(deepest, visits.end());
      const TMixVisit& last = *deepest;
      EXPECT_TRUE(last.IsSprite);
      EXPECT_EQ(last.Depth, 8);
      EXPECT_EQ(last.Label, "30739919");
      std::string path;
      for (int i = 0; i < 8; ++i)
        path += "inner.mix/";
      EXPECT_EQ(last.Path, path + "?");
    }
  }
}

TEST(MixPath, PathsGoEightArchivesDeep) {
  TTempDir dir;
  TBytes core = BuildMix({{"e1.shp", SpriteLike(2, 2, 1, 40), std::nullopt}});
  WriteFileBytes(dir.File("deep.mix"), Nest(core, 8));
  std::string path = dir.File("deep.mix");
  for (int i = 0; i < 8; ++i)
    path += "/inner.mix";
  TMixLocation at;
  std::string error;
  EXPECT_EQ(ResolveMixPath(path + "/e1.shp", at, error), TMixPathKind::Entry) << error;
  WriteFileBytes(dir.File("deep.mix"), Nest(core, 9));
  EXPECT_EQ(ResolveMixPath(path + "/inner.mix/e1.shp", at, error), TMixPathKind::Failed);
  EXPECT_NE(error.find("not followed"), std::string::npos) << error;
}

TEST(MixWriter, WritesASortedIndexAndANameTable) {
  TTempDir dir;
  std::vector<TMixFileIn> files;
  std::vector<TBytes> contents;
  for (const char* name : {"cheminf.shp", "conquer.mix", "b.pal", "zero.bin"}) {
    contents.push_back(std::string(name) == "zero.bin" ? TBytes() : NoiseBytes(1000, name[0]));
    WriteFileBytes(dir.File(name), contents.back());
    files.push_back({name, dir.File(name)});
  }
  for (TMixIdKind ids : {TMixIdKind::Ts, TMixIdKind::Td}) {
    std::string error;
    ASSERT_TRUE(WriteMixArchive(dir.File("out.mix"), files, ids, error)) << error;
    TFileMixSource source(dir.File("out.mix"));
    TMixIndex index;
    ASSERT_TRUE(ReadMixIndex(source, index, error)) << error;
    EXPECT_FALSE(index.Encrypted || index.Checksummed);
    ASSERT_EQ(index.Entries.size(), files.size() + 1);
    EXPECT_TRUE(std::is_sorted(index.Entries.begin(), index.Entries.end(),
                               [](const TMixEntry& a, const TMixEntry& b) {
                                 return static_cast<int32_t>(a.Id) < static_cast<int32_t>(b.Id);
                               }));
    TMixNames names;
    ASSERT_TRUE(ReadMixNameTable(source, index, names));
    for (size_t i = 0; i < files.size(); ++i) {
      auto entry =
          std::find_if(index.Entries.begin(), index.Entries.end(),
                       [&](const TMixEntry& e) { return e.Id == MixId(ids, files[i].Name); });
      ASSERT_NE(entry, index.Entries.end());
      EXPECT_EQ(EntryBytes(source, index, *entry), contents[i]);
      EXPECT_EQ(*names.Find(entry->Id), files[i].Name);
    }
    EXPECT_EQ(index.BodyStart + index.BodySize, source.Size());
  }
  files.push_back({"CHEMINF.SHP", dir.File("b.pal")});
  std::string error;
  EXPECT_FALSE(WriteMixArchive(dir.File("dup.mix"), files, TMixIdKind::Ts, error));
  EXPECT_NE(error.find("cheminf.shp"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(dir.File("dup.mix")));
}

TEST(MixPath, PathsThroughArchivesFindTheirEntry) {
  TTempDir dir;
  TBytes sprite = SpriteLike(2, 2, 1, 40);
  TBytes inner =
      BuildMix({{"e1.shp", sprite, std::nullopt}, {"x.bin", NoiseBytes(9, 5), std::nullopt}},
               {false, true, false, TMixIdKind::Ts, false});
  TBytes outer =
      BuildMix({{"pad.bin", NoiseBytes(33, 6), std::nullopt}, {"conquer.mix", inner, std::nullopt}},
               {true, false, false, TMixIdKind::Td, true});
  WriteFileBytes(dir.File("main.MIX"), outer);
  WriteFileBytes(dir.File("plain.shp"), sprite);
  struct {
    std::string path;
    TMixPathKind kind;
    std::string entryName;
  } cases[] = {
      {"main.MIX/conquer.mix/e1.shp", TMixPathKind::Entry, "30739919"},
      {"main.MIX/A2361104/30739919", TMixPathKind::Entry, "30739919"},
      {"main.MIX/conquer.mix", TMixPathKind::Entry, "conquer.mix"},
      {"main.MIX/conquer.mix/nothing.shp", TMixPathKind::Failed, ""},
      {"main.MIX/pad.bin/e1.shp", TMixPathKind::Failed, ""},
      {"main.MIX/", TMixPathKind::Failed, ""},
      {"plain.shp", TMixPathKind::File, ""},
      {"none.mix/e1.shp", TMixPathKind::File, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    TMixLocation at;
    std::string error;
    ASSERT_EQ(ResolveMixPath(dir.File(c.path), at, error), c.kind) << error;
    EXPECT_EQ(error.empty(), c.kind != TMixPathKind::Failed);
    if (c.kind != TMixPathKind::Entry) continue;
    EXPECT_EQ(at.File, dir.File("main.MIX"));
    EXPECT_EQ(at.EntryName, c.entryName);
    TFileMixSource file(at.File);
    TSliceMixSource entry(file, at.Offset, at.Size);
    TBytes bytes(at.Size);
    ASSERT_TRUE(entry.ReadAt(0, bytes.data(), static_cast<uint32_t>(at.Size)));
    EXPECT_EQ(bytes, c.entryName == "conquer.mix" ? inner : sprite);
  }
}

}  // namespace
