// Palette files in either form: the game's raw 768 bytes, or JASC-PAL text.
#include "formats/palette_reader.h"

#include <gtest/gtest.h>

#include "formats/palette_file.h"
#include "support/palette_text.h"
#include "support/test_files.h"

namespace {

TBytes Bytes(const std::string& text) {
  return TBytes(text.begin(), text.end());
}

// `text` followed by spaces up to `size` bytes: a last line the reader ignores.
TBytes PaddedTo(const std::string& text, size_t size) {
  TBytes bytes = Bytes(text);
  bytes.resize(size, ' ');
  return bytes;
}

TBytes Resized(TBytes bytes, size_t size) {
  bytes.resize(size, 0);
  return bytes;
}

TBytes With(TBytes bytes, size_t at, uint8_t value) {
  bytes[at] = value;
  return bytes;
}

TEST(PaletteReader, RawOrJascByTheFileAlone) {
  const std::string twoColours = JascPaletteText({{1, 2, 3}, {4, 5, 6}});
  std::vector<TRgb> sixteen(16, TRgb{9, 9, 9});
  struct {
    const char* what;
    TBytes file;
    bool raw, signature;
    uint32_t entries;
    TBytes table;
  } cases[] = {
      {"6-bit levels are scaled to 8", RawPalette({{0, 1, 2}, {16, 32, 63}, {63, 63, 63}}), true,
       false, 256, ColourTable({{0, 4, 8}, {65, 130, 255}, {255, 255, 255}})},
      {"one level above 63: 8-bit", RawPalette({{0, 1, 2}, {16, 32, 64}}), true, false, 256,
       ColourTable({{0, 1, 2}, {16, 32, 64}})},
      {"the very last byte above 63: 8-bit", With(RawPalette({{1, 2, 63}}), 767, 64), true, false,
       256, With(ColourTable({{1, 2, 63}}), 1020, 64)},
      {"raw bytes that begin with JASC",
       RawPalette({{'J', 'A', 'S'}, {'C', '-', 'P'}, {'A', 'l', 0}}), true, false, 256,
       ColourTable({{'J', 'A', 'S'}, {'C', '-', 'P'}, {'A', 'l', 0}})},
      {"767 bytes are text", Resized(RawPalette({{10, 20, 30}}), 767), false, false, 0,
       ColourTable({})},
      {"769 bytes are text", Resized(RawPalette({{10, 20, 30}}), 769), false, false, 0,
       ColourTable({})},
      {"768 bytes of JASC-PAL text", PaddedTo(twoColours, 768), false, true, 2,
       ColourTable({{1, 2, 3}, {4, 5, 6}})},
      {"768 bytes of JASC-PAL text after a byte-order mark",
       PaddedTo("\xEF\xBB\xBF" + twoColours, 768), false, true, 2,
       ColourTable({{1, 2, 3}, {4, 5, 6}})},
      {"a count of 16", Bytes(JascPaletteText(sixteen)), false, true, 16, ColourTable(sixteen)},
      {"a count above 256", Bytes(JascPaletteText({{7, 7, 7}}, "\r\n", 300)), false, true, 256,
       ColourTable({{7, 7, 7}})},
      {"a negative count", Bytes("JASC-PAL\r\n0100\r\n-3\r\n7 7 7\r\n"), false, true, 0,
       ColourTable({})},
      {"no count line", Bytes("JASC-PAL\r\n"), false, true, 0, ColourTable({})},
      {"read as text without the signature", Bytes("jasc-pal\r\n0100\r\n1\r\n1 2 3\r\n"), false,
       false, 1, ColourTable({{1, 2, 3}})},
      {"a signature cut short", Bytes("JASC-PA"), false, false, 0, ColourTable({})},
      {"a byte-order mark alone", Bytes("\xEF\xBB\xBF"), false, false, 0, ColourTable({})},
      {"an empty file", {}, false, false, 0, ColourTable({})},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    WriteFileBytes(dir.File("p.pal"), c.file);
    TBytes fromFile(1024, 0), fromMemory(1024, 0);
    TPaletteFacts file = ReadPaletteFile(dir.File("p.pal").c_str(), fromFile.data());
    TPaletteFacts memory = ReadPaletteBytes(c.file.data(), c.file.size(), fromMemory.data());
    for (const TPaletteFacts& facts : {file, memory}) {
      EXPECT_TRUE(facts.Opened) << c.what;
      EXPECT_EQ(facts.Raw, c.raw) << c.what;
      EXPECT_EQ(facts.JascSignature, c.signature) << c.what;
      EXPECT_EQ(facts.Entries, c.entries) << c.what;
    }
    EXPECT_EQ(fromFile, c.table) << c.what;
    EXPECT_EQ(fromMemory, c.table) << c.what;
  }
}

TEST(PaletteReader, AFileThatCannotBeOpenedLeavesTheTable) {
  TTempDir dir;
  TBytes table(1024, 0x5A);
  TPaletteFacts facts = ReadPaletteFile(dir.File("missing.pal").c_str(), table.data());
  EXPECT_FALSE(facts.Opened);
  EXPECT_EQ(table, TBytes(1024, 0x5A));
}

}  // namespace
