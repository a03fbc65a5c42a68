#include "formats/indexed_picture.h"

#include <algorithm>

#include "toolkit/base/file_io.h"
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

bool WriteImageBytes(const char* name, const TImageBytes& bytes) {
  TFileHandle file = OpenFileForWriting(name);
  if (file == kInvalidFileHandle) return false;
  // A stale temporary file may be longer than what is written now.
  bool written = SetEndOfFileHere(file);
  constexpr size_t kChunk = size_t{1} << 30;
  for (size_t done = 0; written && done < bytes.size();) {
    uint32_t count = static_cast<uint32_t>(std::min(kChunk, bytes.size() - done));
    written = WriteToFile(file, bytes.data() + done, count) == count;
    done += count;
  }
  CloseFile(file);
  return written;
}

bool WriteImageFile(const std::string& path, const TImageBytes& bytes) {
  return WriteThroughTemporary(
      path, [&bytes](const char* temporary) { return WriteImageBytes(temporary, bytes); });
}
