#pragma once

#include <cstdint>
#include <functional>

#include "formats/indexed_picture.h"

// Indexed PNG files: colour type 3, bit depth 8, no interlace, a PLTE of all
// 256 colours and, unless opaque, a tRNS giving entry 0 alpha 0 so the
// background is transparent.

// Answers the Width indices of row y (top first); the bytes need to stay
// valid only until the next call.
using TPngRowSource = std::function<const uint8_t*(uint32_t y)>;

// Encodes a width x height image whose rows come from `rows`, with the
// colour table `colours` (256 entries of blue, green, red, 0) at zlib's
// default compression level with run-length matching. Answers false, with
// `png` unspecified, when the sizes are 0 or beyond kMaxWrittenImageBytes or
// the encoder fails.
bool EncodeIndexedPng(uint32_t width, uint32_t height, const TPngRowSource& rows,
                      const uint8_t* colours, bool opaque, TImageBytes& png);

// The same for a picture, which must be sound.
bool EncodeIndexedPng(const TIndexedPicture& picture, const uint8_t* colours, bool opaque,
                      TImageBytes& png);

// Encodes the picture and writes it through a temporary file; false, with no
// file left, on any failure.
bool WriteIndexedPng(const std::string& path, const TIndexedPicture& picture,
                     const uint8_t* colours, bool opaque);
