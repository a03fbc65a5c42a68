#include "formats/indexed_picture.h"

#include <algorithm>

#include "toolkit/base/byte_stream.h"
#include "toolkit/base/write_through.h"

bool PictureIsSound(const TIndexedPicture& picture) {
  if (picture.Width == 0 || picture.Height == 0 || picture.Stride < picture.Width) return false;
  uint64_t bytes = uint64_t{picture.Width} * picture.Height;
  if (bytes > kMaxWrittenImageBytes) return false;
  if (picture.Pixels.empty()) return true;
  // The last row needs only Width bytes, not a whole stride.
  uint64_t needed = uint64_t{picture.Stride} * (picture.Height - 1) + picture.Width;
  return needed <= picture.Pixels.size();
}

bool WriteImageBytes(TByteStream* file, const TImageBytes& bytes) {
  constexpr size_t kChunk = size_t{1} << 30;
  bool written = true;
  for (size_t done = 0; written && done < bytes.size();) {
    uint32_t count = static_cast<uint32_t>(std::min(kChunk, bytes.size() - done));
    written = file->Write(bytes.data() + done, count) == count;
    done += count;
  }
  return written;
}

bool WriteImageFile(const std::string& path, const TImageBytes& bytes) {
  return WriteThroughTemporary(
      path, [&bytes](TByteStream* file) { return WriteImageBytes(file, bytes); });
}
