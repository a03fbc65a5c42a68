#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

// Maps colours to the indices of a colour table (blue, green, red, 0 per
// entry, as ReadJascPalette fills it): a pixel with alpha 0, or of exactly
// the colour of entry 0, is index 0; any other is the nearest of entries 1
// to 255 by squared RGB distance, the lowest index on a tie.
class TPaletteMatcher {
 public:
  explicit TPaletteMatcher(const uint8_t* colourTable);

  uint8_t IndexOf(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
  // `count` pixels of red, green, blue, alpha to `indices`.
  void MapPixels(const uint8_t* rgba, size_t count, uint8_t* indices);

 private:
  uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue) const;

  uint8_t table_[256][3];  // red, green, blue
  // Images hold few colours: each is searched for once.
  std::unordered_map<uint32_t, uint8_t> found_;
};
