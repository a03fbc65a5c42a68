#include "formats/mix_source.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr uint64_t kLargestFile = std::numeric_limits<int32_t>::max();

bool Inside(uint64_t offset, uint32_t count, uint64_t size) {
  return offset <= size && count <= size - offset;
}

}  // namespace

bool TMemoryMixSource::ReadAt(uint64_t offset, void* out, uint32_t count) const {
  if (!Inside(offset, count, size_)) return false;
  if (count > 0) std::memcpy(out, data_ + offset, count);
  return true;
}

TFileMixSource::TFileMixSource(const std::string& path) : file_(OpenFileForReading(path.c_str())) {
  if (file_ == kInvalidFileHandle) return;
  uint32_t size = GetFileSizeOf(file_);
  if (size == kInvalidFileSize || size > kLargestFile) {
    CloseFile(file_);
    file_ = kInvalidFileHandle;
    return;
  }
  size_ = size;
}

TFileMixSource::~TFileMixSource() {
  if (file_ != kInvalidFileHandle) CloseFile(file_);
}

bool TFileMixSource::ReadAt(uint64_t offset, void* out, uint32_t count) const {
  if (!IsOpen() || !Inside(offset, count, size_)) return false;
  if (SetFilePosition(file_, static_cast<int32_t>(offset), kFromStart) != offset) return false;
  auto* bytes = static_cast<uint8_t*>(out);
  uint32_t done = 0;
  while (done < count) {
    uint32_t got = ReadFromFile(file_, bytes + done, count - done);
    if (got == 0) return false;
    done += got;
  }
  return true;
}

TSliceMixSource::TSliceMixSource(const TMixSource& whole, uint64_t offset, uint64_t size)
    : whole_(whole), offset_(offset), size_(0) {
  if (offset <= whole.Size()) size_ = std::min(size, whole.Size() - offset);
}

bool TSliceMixSource::ReadAt(uint64_t offset, void* out, uint32_t count) const {
  if (!Inside(offset, count, size_)) return false;
  return whole_.ReadAt(offset_ + offset, out, count);
}

bool CopyMixRange(const TMixSource& source, uint64_t offset, uint64_t size,
                  const std::function<bool(const uint8_t* data, uint32_t size)>& sink) {
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(size, kMixCopyChunk)));
  for (uint64_t done = 0; done < size;) {
    uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(size - done, kMixCopyChunk));
    if (!source.ReadAt(offset + done, buffer.data(), take) || !sink(buffer.data(), take))
      return false;
    done += take;
  }
  return true;
}
