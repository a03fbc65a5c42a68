#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "support/test_files.h"

using TRgb16 = std::array<uint16_t, 3>;

// A PNG file made by the PNG library: `rows` are the rows top first, packed
// below 8 bits as PNG packs them (each row starting on a byte). Indexed
// images get a grey palette of `paletteSize` entries; `transparent` sets the
// tRNS colour of an RGB image (its first level that of a grey one).
TBytes PngImage(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                const TBytes& rows, uint32_t paletteSize = 256,
                std::optional<TRgb16> transparent = std::nullopt);
