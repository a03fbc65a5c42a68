#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

// Maps colours to the indices of a colour table (blue, green, red, 0 per
// entry, as ReadPaletteFile fills it) of which the first `entries` are
// defined: a pixel with alpha 0, or of exactly the colour of entry 0, is
// index 0; any other is the nearest of entries 1 to entries - 1 by squared
// RGB distance, the lowest index on a tie. With no entry besides 0 every
// pixel is index 0: such a palette maps no colours.
class TPaletteMatcher {
 public:
  TPaletteMatcher(const uint8_t* colourTable, uint32_t entries);

  // False when the palette defines no entry besides 0.
  bool MapsColours() const { return entries_ > 1; }

  uint8_t IndexOf(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
  // `count` pixels of red, green, blue, alpha to `indices`.
  void MapPixels(const uint8_t* rgba, size_t count, uint8_t* indices);

 private:
  uint8_t Nearest(uint8_t red, uint8_t green, uint8_t blue) const;

  uint8_t table_[256][3];  // red, green, blue
  uint32_t entries_;       // at most 256
  // Images hold few colours: each is searched for once.
  std::unordered_map<uint32_t, uint8_t> found_;
};
