#include "format_shp/byte_cursor.h"

#include <algorithm>
#include <limits>

#include "toolkit/base/byte_stream.h"

TByteCursor::TByteCursor(TByteStream* stream, uint32_t end, uint32_t base)
    : stream_(stream), end_(end), base_(base), data_(new uint8_t[kChunkSize + kReadSlack]()) {}

TByteCursor::~TByteCursor() {
  delete[] data_;
}

void TByteCursor::MoveTo(uint64_t offset) {
  if (offset >= start_ && offset <= start_ + length_) {
    at_ = static_cast<uint32_t>(offset - start_);
    return;
  }
  start_ = offset;
  length_ = at_ = 0;
}

bool TByteCursor::Refill() {
  uint64_t next = start_ + length_;
  // Streams seek with 32-bit signed offsets: bytes beyond that are out of reach.
  uint64_t position = base_ + next;
  if (next >= end_ || position > uint64_t{std::numeric_limits<int32_t>::max()}) return false;
  start_ = next;
  length_ = at_ = 0;
  if (stream_->Seek(static_cast<int32_t>(position), kFromStart) != position) return false;
  uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(kChunkSize, end_ - next));
  length_ = stream_->Read(data_, want);
  return length_ > 0;
}

uint32_t TByteCursor::Copy(uint8_t* out, uint32_t count) {
  uint32_t done = 0;
  while (done < count && Ensure()) {
    uint32_t take = std::min(count - done, Ready());
    std::memcpy(out + done, At(), take);
    Skip(take);
    done += take;
  }
  return done;
}
