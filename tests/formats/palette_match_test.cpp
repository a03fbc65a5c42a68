// Mapping RGB pixels to palette indices.
#include <gtest/gtest.h>

#include "formats/palette_match.h"
#include "support/palette_text.h"

namespace {

TEST(PaletteMatch, TransparentAndEntryZeroColourAreZeroOthersTheNearestLowestEntry) {
  // Entry 0 is a magenta key; 1 and 3 are the same red, 2 and 4 the same
  // grey; the other entries are white.
  std::vector<TRgb> colours(256, TRgb{255, 255, 255});
  colours[0] = {255, 0, 255};
  colours[1] = colours[3] = {200, 0, 0};
  colours[2] = colours[4] = {100, 100, 100};
  colours[5] = {255, 0, 254};  // nearer to the key than any other
  TBytes table = ColourTable(colours);
  struct {
    uint8_t r, g, b, a;
    uint8_t index;
  } cases[] = {
      {255, 0, 255, 255, 0},    // entry 0's colour
      {200, 0, 0, 0, 0},        // alpha 0, whatever the colour
      {200, 0, 0, 255, 1},      // exact, duplicated: the lower entry
      {190, 10, 0, 128, 1},     // nearest, half transparent
      {100, 100, 100, 255, 2},  // exact, duplicated
      {150, 50, 50, 255, 1},    // 7500 from red and from grey: the lower entry
      {255, 0, 255, 1, 0},      // alpha 1 still entry 0's colour
      {254, 0, 255, 255, 5},    // next to the key: never 0
      {255, 255, 255, 255, 6},  // white: the first white entry
      {0, 0, 0, 255, 2},        // black: grey is nearer than red
  };
  TPaletteMatcher matcher(table.data(), 256);
  for (const auto& c : cases) {
    EXPECT_EQ(matcher.IndexOf(c.r, c.g, c.b, c.a), c.index)
        << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a);
  }
  // The same through MapPixels, with the cache warm.
  TBytes rgba, expected;
  for (const auto& c : cases) {
    rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
    expected.push_back(c.index);
  }
  TBytes indices(expected.size());
  matcher.MapPixels(rgba.data(), expected.size(), indices.data());
  EXPECT_EQ(indices, expected);
}

// Entries past those the palette defines hold colours, but are never chosen.
TEST(PaletteMatch, OnlyTheEntriesThePaletteDefinesAreChosen) {
  std::vector<TRgb> colours(256, TRgb{255, 0, 0});
  colours[0] = {255, 0, 255};
  for (int i = 1; i < 16; ++i)
    colours[i] = {i * 10, i * 10, i * 10};
  colours[16] = {255, 255, 255};
  const TBytes table = ColourTable(colours);
  struct {
    uint32_t entries;
    bool mapsColours;
    uint8_t white, red;  // the indices of these two pixels; red is 8: grey 80 and 90 tie
  } cases[] = {
      {256, true, 16, 17}, {300, true, 16, 17}, {17, true, 16, 8}, {16, true, 15, 8},
      {2, true, 1, 1},     {1, false, 0, 0},    {0, false, 0, 0},
  };
  for (const auto& c : cases) {
    TPaletteMatcher matcher(table.data(), c.entries);
    EXPECT_EQ(matcher.MapsColours(), c.mapsColours) << c.entries;
    EXPECT_EQ(matcher.IndexOf(255, 255, 255, 255), c.white) << c.entries;
    EXPECT_EQ(matcher.IndexOf(255, 0, 0, 255), c.red) << c.entries;
    EXPECT_EQ(matcher.IndexOf(255, 0, 255, 255), 0) << c.entries;
  }
}

}  // namespace
