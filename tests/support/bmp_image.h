#pragma once

#include <cstdint>
#include <vector>

#include "support/test_files.h"

// Builds the 8-bit bottom-up frame image layout the program writes: 14-byte
// file header, 40-byte info header (both resolution fields W x H), a
// 1024-byte colour table and H rows of W + pad bytes, bottom row first.
// `topRows` holds the sprite's rows top first, each W indices.
TBytes FrameImage(uint16_t width, uint16_t height, const TBytes& palette,
                  const std::vector<TBytes>& topRows);

// A palette whose entry i is (blue i, green 255 - i, red i / 2, 0).
TBytes TestPalette();

// A BMP file of any header form, field by field, for the reader's tests.
struct TBmpForm {
  uint32_t HeaderSize = 40;  // 12: the OS/2 core header, 3-byte table entries
  int32_t Width = 1;
  int32_t Height = 1;  // negative: rows stored top first
  uint16_t Planes = 1;
  uint16_t BitCount = 8;
  uint32_t Compression = 0;
  uint32_t ColoursUsed = 0;
  uint32_t TableEntries = 0;         // colour table entries written (grey ramp)
  std::vector<uint32_t> Masks = {};  // after a 40-byte header, else inside the header
  uint32_t Gap = 0;                  // bytes between the colour table and the pixels
  int64_t OffBits = -1;              // bfOffBits when not -1, else where the pixels start
  std::vector<TBytes> Rows = {};     // top first, packed; each padded to 4 bytes
};
TBytes BmpFile(const TBmpForm& form);
