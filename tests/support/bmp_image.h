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
