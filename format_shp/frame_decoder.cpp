#include "format_shp/frame_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "format_shp/byte_cursor.h"

namespace {

// Bit i is set when p[i] is 0; reads 64 bytes.
uint64_t ZeroBits(const uint8_t* p) {
#ifdef __SSE2__
  auto sixteen = [p](int at) -> uint64_t {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
  };
  return sixteen(0) | sixteen(16) << 16 | sixteen(32) << 32 | sixteen(48) << 48;
#else
  uint64_t bits = 0;
  for (int i = 0; i < 64; ++i)
    bits |= uint64_t{p[i] == 0} << i;
  return bits;
#endif
}

// A stretch of n literal pixels, copied 32 bytes at a time: the bytes
// copied past its end are cleared by the ClearAfter that follows. Stretch
// lengths vary at random, so the common ones take no branch.
void CopyStretch(const uint8_t* in, uint8_t* out, uint32_t n) {
  std::memcpy(out, in, 32);
  for (uint32_t i = 32; i < n; i += 32)
    std::memcpy(out + i, in + i, 32);
}

// Zeros the 32 bytes after a stretch, where CopyStretch may have left bytes
// of the items after it. The canvas holds 0 there until later items
// overwrite it.
static_assert(kCodedRowOverrun >= 32, "a stretch ending a row is followed by 32 zeros");

void ClearAfter(uint8_t* end) {
  std::memset(end, 0, 32);
}

// Finds the zero bytes of a block of coded data, 64 at a time. Bytes at
// and after `size` count as zeros, so a search never passes the data.
class TZeroScan {
  static_assert(TByteCursor::kReadSlack >= 64, "a scan reads whole 64-byte blocks");

 public:
  TZeroScan(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}

  // The offset of the first zero at or after `from` (at most size).
  uint32_t Next(uint32_t from) {
    for (;;) {
      uint32_t start = from & ~63u;
      if (start != start_) Load(start);
      uint64_t ahead = bits_ >> (from & 63);
      if (ahead != 0) return from + static_cast<uint32_t>(std::countr_zero(ahead));
      from = start + 64;
    }
  }

 private:
  void Load(uint32_t start) {
    start_ = start;
    bits_ = ZeroBits(data_ + start);
    if (size_ - start < 64) bits_ |= ~uint64_t{0} << (size_ - start);
  }

  const uint8_t* data_;
  uint32_t size_;
  uint32_t start_ = 1;  // no block loaded: starts are multiples of 64
  uint64_t bits_ = 0;
};

// Whole rows of a frame that lies inside the box, decoded straight from the
// cursor's chunk: each item is found by a bit scan, with no branch per
// pixel. A row that does not end inside the chunk is left to the exact
// byte-by-byte path, which writes the same pixels again.
class TChunkRows {
 public:
  explicit TChunkRows(TByteCursor& in) : data_(in.At()), size_(in.Ready()), scan_(data_, size_) {}

  uint32_t Used() const { return used_; }

  // Decodes the row at Used() into `row`; false, reading nothing, when the
  // row does not end inside the chunk.
  bool Decode(uint8_t* row, uint32_t width) {
    // The scan state lives in locals: stores to the canvas could otherwise
    // alias it and force a reload on every item.
    TZeroScan scan = scan_;
    const uint8_t* data = data_;
    uint32_t pos = used_ + 2;  // rows end by counting pixels: the length field is not needed
    if (pos > size_) return false;
    uint32_t count = 0;
    for (;;) {
      uint32_t zero = scan.Next(pos);
      uint32_t literals = std::min(zero - pos, width - count);
      CopyStretch(data + pos, row + count, literals);
      count += literals;
      ClearAfter(row + count);
      if (count == width) {  // the row ends inside the stretch
        pos += literals;
        break;
      }
      if (zero + 2 > size_) return false;
      count += data[zero + 1];
      pos = zero + 2;
      if (count >= width) break;
    }
    used_ = pos;
    scan_ = scan;
    return true;
  }

 private:
  const uint8_t* data_;
  uint32_t size_;
  TZeroScan scan_;
  uint32_t used_ = 0;
};

// Decodes a row's items, every byte checked; false when the data ends first.
bool DecodeRowExactly(TByteCursor& in, uint32_t frameWidth, uint32_t columns, uint8_t* row) {
  uint32_t count = 0;
  uint8_t item;
  while (count < frameWidth) {
    if (!in.Next(item)) return false;
    if (item != 0) {
      if (count < columns) row[count] = item;
      count += 1;
    } else {
      if (!in.Next(item)) return false;
      count += item;
    }
  }
  return true;
}

bool SkipLengthField(TByteCursor& in) {
  uint8_t field[2];
  return in.Copy(field, 2) == 2;
}

void Charge(uint64_t& budget, uint64_t used) {
  budget = used < budget ? budget - used : 0;
}

}  // namespace

TDecodeEnd DecodeRawRows(TByteCursor& in, uint64_t dataOffset, const TFramePlacement& at,
                         uint32_t rowLead) {
  const uint64_t rowSize = uint64_t{rowLead} + at.FrameWidth;
  uint8_t* row = at.FirstPixel;
  for (uint32_t r = 0; r < at.Rows; ++r, row += at.Stride) {
    in.MoveTo(dataOffset + r * rowSize + rowLead);
    if (in.Copy(row, at.Columns) < at.Columns) return TDecodeEnd::DataEnded;
  }
  return TDecodeEnd::Complete;
}

TDecodeEnd DecodeCodedRows(TByteCursor& in, uint64_t dataOffset, const TFramePlacement& at,
                           uint64_t& budget) {
  in.MoveTo(dataOffset);
  // Clipped frames take the exact path only: the fast one writes whole rows.
  const bool inside = at.Columns == at.FrameWidth;
  uint8_t* row = at.FirstPixel;
  uint32_t r = 0;
  while (r < at.Rows) {
    if (inside && in.Ensure()) {
      TChunkRows chunk(in);
      while (r < at.Rows && budget > 0) {
        uint32_t before = chunk.Used();
        if (!chunk.Decode(row, at.FrameWidth)) break;
        Charge(budget, chunk.Used() - before);
        ++r;
        row += at.Stride;
      }
      in.Skip(chunk.Used());
      if (r == at.Rows) break;
    }
    if (budget == 0) return TDecodeEnd::OverBudget;
    uint64_t rowStart = in.Offset();
    bool whole = SkipLengthField(in) && DecodeRowExactly(in, at.FrameWidth, at.Columns, row);
    Charge(budget, in.Offset() - rowStart);
    if (!whole) return TDecodeEnd::DataEnded;
    ++r;
    row += at.Stride;
  }
  return TDecodeEnd::Complete;
}
