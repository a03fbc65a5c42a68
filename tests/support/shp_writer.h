#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "support/test_files.h"

// One frame for EncodeShp: its header fields and either pixel rows, which
// are encoded by its compression kind, the field's low byte (3 run-length,
// 2 raw rows each after a 2-byte field, anything else raw), or exact data
// bytes.
struct TShpFrameIn {
  uint16_t X = 0;
  uint16_t Y = 0;
  uint16_t Width = 0;   // Cx
  uint16_t Height = 0;  // Cy
  uint32_t Compression = 3;
  uint32_t Extra1 = 0;
  uint32_t Extra2 = 0;
  std::vector<TBytes> Rows;
  std::optional<TBytes> Data;          // written instead of encoding Rows
  std::optional<uint32_t> DataOffset;  // written instead of where the data lands (0: no pixels)
};

// Frames whose size is that of their rows (Cy rows of Cx pixels).
TShpFrameIn CodedFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows);
TShpFrameIn RawFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows);
// A frame header with the given data bytes as its pixel data.
TShpFrameIn FrameWithData(uint16_t x, uint16_t y, uint16_t cx, uint16_t cy, uint32_t compression,
                          TBytes data);
TShpFrameIn FrameWithoutPixels(uint16_t x, uint16_t y, uint16_t cx, uint16_t cy);

// A whole SHP file: the 8-byte header (first two bytes 0), the frame header
// table, then each frame's data in frame order.
TBytes EncodeShp(uint16_t width, uint16_t height, const std::vector<TShpFrameIn>& frames);

// One run-length row: a 2-byte length field (the row's bytes, the field
// included), then each non-zero pixel as itself and each run of colour 0
// as 0 and the run's length (at most 255 per item).
TBytes EncodeCodedRow(const TBytes& pixels);

// The sprite box rows (top first, each `width` indices) of a frame at
// (x, y): zeros around it, and its pixels outside the box dropped.
std::vector<TBytes> PlaceInBox(uint16_t width, uint16_t height, uint16_t x, uint16_t y,
                               const std::vector<TBytes>& rows);

// A canvas: `boxRows` (each `width` indices) with every row padded with
// zeros to a multiple of 4 bytes.
TBytes CanvasOf(uint16_t width, const std::vector<TBytes>& boxRows);

// Rows of pseudo-random pixels in which about every other stretch is colour
// 0, as sprites with transparent parts look.
std::vector<TBytes> SpeckledRows(uint16_t width, uint16_t height, uint32_t seed);
