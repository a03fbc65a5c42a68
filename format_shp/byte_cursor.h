#pragma once

#include <cstdint>
#include <cstring>

class TByteStream;

// Reads a file stream in large chunks so that decoders can take one byte at
// a time without a call through the stream's table per byte. Never reads at
// or past `end` (the file size when the cursor was made), so a file's own
// offsets cannot lead it outside the file. Offsets count from `base` in
// the stream, so that a sprite inside a larger file (an archive entry)
// reads as a file of its own.
class TByteCursor {
 public:
  static constexpr uint32_t kChunkSize = 64 * 1024;
  // Bytes past Ready() that may be read, so that scans can take whole
  // blocks; what they hold means nothing.
  static constexpr uint32_t kReadSlack = 64;

  TByteCursor(TByteStream* stream, uint32_t end, uint32_t base = 0);
  ~TByteCursor();
  TByteCursor(const TByteCursor&) = delete;
  TByteCursor& operator=(const TByteCursor&) = delete;

  uint32_t End() const { return end_; }
  uint32_t Base() const { return base_; }
  TByteStream* Stream() const { return stream_; }
  // The file offset of the next byte.
  uint64_t Offset() const { return start_ + at_; }
  // Moves to a file offset; offsets at or past the end read nothing.
  void MoveTo(uint64_t offset);

  // True when at least one byte is ready at At(); false at the end of data.
  bool Ensure() { return at_ < length_ || Refill(); }
  const uint8_t* At() const { return data_ + at_; }
  uint32_t Ready() const { return length_ - at_; }
  // Steps over `count` bytes, at most Ready().
  void Skip(uint32_t count) { at_ += count; }

  bool Next(uint8_t& byte) {
    if (!Ensure()) return false;
    byte = data_[at_++];
    return true;
  }
  // Copies up to `count` bytes; answers how many there were.
  uint32_t Copy(uint8_t* out, uint32_t count);

 private:
  bool Refill();

  TByteStream* stream_;
  uint32_t end_;
  uint32_t base_;
  uint64_t start_ = 0;  // file offset of data_[0]
  uint32_t length_ = 0;
  uint32_t at_ = 0;
  uint8_t* data_;
};
