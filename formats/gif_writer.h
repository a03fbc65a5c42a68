#pragma once

#include <cstdint>
#include <vector>

#include "formats/indexed_picture.h"

// Animated GIF files: GIF89a, a logical screen of the sprite box, a global
// colour table of all 256 colours, one full-box image per frame after a
// graphic control extension (delay, transparent index 0 unless opaque,
// disposal "restore to background"), and a NETSCAPE2.0 extension that loops
// forever.

struct TGifOptions {
  uint32_t DelayMs = 100;  // stored in hundredths of a second, rounded
  bool Opaque = false;
};

// The delay field for a delay in milliseconds: the nearest hundredth of a
// second, at most 65535.
uint16_t GifDelayHundredths(uint32_t delayMs);

// Encodes the frames, each a sound picture of width x height (at most
// 65535 each, the format's limit), with the colour table `colours` (256
// entries of blue, green, red, 0). False when a frame does not fit, there is
// no frame, all frames together exceed kMaxWrittenImageBytes or the encoder fails.
bool EncodeAnimatedGif(uint32_t width, uint32_t height, const std::vector<TIndexedPicture>& frames,
                       const uint8_t* colours, const TGifOptions& options, TImageBytes& gif);

// The same with `count` frames taken from `frames` one at a time, in
// order; each is needed only until the next is asked for.
bool EncodeAnimatedGif(uint32_t width, uint32_t height, uint32_t count,
                       const TPictureSource& frames, const uint8_t* colours,
                       const TGifOptions& options, TImageBytes& gif);

// Encodes and writes through a temporary file; false, with no file left, on
// any failure.
bool WriteAnimatedGif(const std::string& path, uint32_t width, uint32_t height,
                      const std::vector<TIndexedPicture>& frames, const uint8_t* colours,
                      const TGifOptions& options);
