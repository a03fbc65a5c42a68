#include "formats/palette_match.h"

#include <algorithm>

TPaletteMatcher::TPaletteMatcher(const uint8_t* colourTable, uint32_t entries)
    : entries_(std::min(entries, 256u)) {
  for (int i = 0; i < 256; ++i) {
    table_[i][0] = colourTable[4 * i + 2];
    table_[i][1] = colourTable[4 * i + 1];
    table_[i][2] = colourTable[4 * i];
  }
}

uint8_t TPaletteMatcher::Nearest(uint8_t red, uint8_t green, uint8_t blue) const {
  uint32_t best = 0xFFFFFFFF;
  uint8_t index = 0;  // only when no entry besides 0 is defined
  for (uint32_t i = 1; i < entries_; ++i) {
    int dr = red - table_[i][0], dg = green - table_[i][1], db = blue - table_[i][2];
    uint32_t distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
    if (distance < best) {  // strictly: the lowest index keeps a tie
      best = distance;
      index = static_cast<uint8_t>(i);
    }
  }
  return index;
}

uint8_t TPaletteMatcher::IndexOf(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  if (alpha == 0) return 0;
  if (red == table_[0][0] && green == table_[0][1] && blue == table_[0][2]) return 0;
  uint32_t key = uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
  auto [entry, isNew] = found_.try_emplace(key, 0);
  if (isNew) entry->second = Nearest(red, green, blue);
  return entry->second;
}

void TPaletteMatcher::MapPixels(const uint8_t* rgba, size_t count, uint8_t* indices) {
  for (size_t i = 0; i < count; ++i, rgba += 4)
    indices[i] = IndexOf(rgba[0], rgba[1], rgba[2], rgba[3]);
}
