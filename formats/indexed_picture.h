#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// What the image writers take: plain sizes, rows of 8-bit palette indices and
// a colour table, never a sprite.

using TImageBytes = std::vector<uint8_t>;

class TByteStream;

// Height rows of Width indices, top row first; row y starts at
// Pixels[y * Stride]. Empty Pixels stands for a picture of index 0 only
// (a frame without pixels).
struct TIndexedPicture {
  uint32_t Width = 0;
  uint32_t Height = 0;
  size_t Stride = 0;
  std::span<const uint8_t> Pixels;
};

// Answers picture `index` of a sequence; it needs to stay valid only as
// long as the taker says. False when it cannot be had.
using TPictureSource = std::function<bool(uint32_t index, TIndexedPicture& picture)>;

// The most index bytes one written image may hold: a larger one is refused
// rather than spending minutes and gigabytes on a hostile sprite box.
constexpr uint64_t kMaxWrittenImageBytes = uint64_t{1} << 30;

// Whether the sizes are non-zero, a row fits in the stride, every row lies
// inside Pixels (unless it is empty) and the picture is within the limit.
bool PictureIsSound(const TIndexedPicture& picture);

// Row y of a sound picture; `zeros` (Width bytes of 0) for an empty one.
inline const uint8_t* PictureRow(const TIndexedPicture& picture, uint32_t y, const uint8_t* zeros) {
  return picture.Pixels.empty() ? zeros : picture.Pixels.data() + y * picture.Stride;
}

// Writes `bytes` into a write stream on a file; false when any of it cannot
// be written.
bool WriteImageBytes(TByteStream* file, const TImageBytes& bytes);

// Writes `bytes` to `path` through a temporary file beside it; false, with
// no file left, when any of it cannot be written.
bool WriteImageFile(const std::string& path, const TImageBytes& bytes);
