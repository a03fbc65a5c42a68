#include "format_shp/frame_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "format_shp/byte_cursor.h"

namespace {

// Copies the stretch of literal (non-zero) pixels at `p`, at most `limit`
// of them, to `out`, where only `room` bytes may be written; answers the
// stretch's length. Eight bytes at a time while both sides allow: the zero
// that ends a stretch, and what follows it in the same word, are written
// as 0, which the canvas holds there anyway until later items overwrite it.
uint32_t CopyLiterals(const uint8_t* p, uint32_t limit, uint8_t* out, uint32_t room) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kHighs = 0x8080808080808080;
  uint32_t n = 0;
  while (n + 8 <= limit && n + 8 <= room) {
    uint64_t word;
    std::memcpy(&word, p + n, 8);
    uint64_t zeros = (word - kOnes) & ~word & kHighs;  // lowest set bit: the first zero byte
    if (zeros != 0) {
      uint32_t k = static_cast<uint32_t>(std::countr_zero(zeros)) / 8;
      word &= k == 0 ? 0 : ~uint64_t{0} >> (64 - 8 * k);
      std::memcpy(out + n, &word, 8);
      return n + k;
    }
    std::memcpy(out + n, &word, 8);
    n += 8;
  }
  for (; n < limit && p[n] != 0; ++n) {
    if (n < room) out[n] = p[n];
  }
  return n;
}

bool DecodeCodedRow(TByteCursor& in, uint32_t frameWidth, uint32_t columns, uint8_t* row) {
  uint32_t count = 0;
  do {
    if (!in.Ensure()) return false;
    const uint8_t* p = in.At();
    if (*p != 0) {
      uint32_t wanted = frameWidth > count ? frameWidth - count : 1;
      uint32_t limit = std::min(wanted, in.Ready());
      uint32_t room = count < columns ? columns - count : 0;
      uint32_t run = CopyLiterals(p, limit, room > 0 ? row + count : row, room);
      count += run;
      in.Skip(run);
    } else {
      in.Skip(1);
      if (count < frameWidth) {
        uint8_t zeros;
        if (!in.Next(zeros)) return false;
        count += zeros;
      }
    }
  } while (count < frameWidth);
  return true;
}

}  // namespace

TDecodeEnd DecodeRawRows(TByteCursor& in, uint64_t dataOffset, const TFramePlacement& at) {
  uint8_t* row = at.FirstPixel;
  for (uint32_t r = 0; r < at.Rows; ++r, row += at.Stride) {
    in.MoveTo(dataOffset + uint64_t{r} * at.FrameWidth);
    if (in.Copy(row, at.Columns) < at.Columns) return TDecodeEnd::DataEnded;
  }
  return TDecodeEnd::Complete;
}

TDecodeEnd DecodeCodedRows(TByteCursor& in, uint64_t dataOffset, const TFramePlacement& at,
                           uint64_t& budget) {
  in.MoveTo(dataOffset);
  uint8_t* row = at.FirstPixel;
  for (uint32_t r = 0; r < at.Rows; ++r, row += at.Stride) {
    if (budget == 0) return TDecodeEnd::OverBudget;
    uint64_t rowStart = in.Offset();
    // The row's items always start right after its 2-byte length field,
    // which is not needed otherwise: rows end by counting pixels.
    uint8_t lengthField[2];
    bool whole = in.Copy(lengthField, 2) == 2 && DecodeCodedRow(in, at.FrameWidth, at.Columns, row);
    uint64_t used = in.Offset() - rowStart;
    budget = used < budget ? budget - used : 0;
    if (!whole) return TDecodeEnd::DataEnded;
  }
  return TDecodeEnd::Complete;
}
