#include "format_shp/frame_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "format_shp/byte_cursor.h"

namespace {

constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kHighs = 0x8080808080808080;

// Copies the stretch of literal (non-zero) pixels at `p`, at most `limit`
// of them, to `out`, where only `room` bytes may be written; answers the
// stretch's length. Eight bytes at a time while both sides allow: the zero
// that ends a stretch, and what follows it in the same word, are written
// as 0, which the canvas holds there anyway until later items overwrite it.
uint32_t CopyLiterals(const uint8_t* p, uint32_t limit, uint8_t* out, uint32_t room) {
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

// Copies the 8 * kWords bytes at `in` to `out` up to the first zero byte,
// which with all bytes after it is written as 0: the canvas holds 0 there
// until later items overwrite them. Answers the bytes before that zero.
template <uint32_t kWords>
uint32_t CopyWindow(const uint8_t* in, uint8_t* out) {
  uint32_t n = 0;
  uint64_t going = ~uint64_t{0};  // all ones until a word holds a zero
  for (uint32_t i = 0; i < kWords; ++i) {
    uint64_t word;
    std::memcpy(&word, in + 8 * i, 8);
    uint64_t marks = (word - kOnes) & ~word & kHighs;  // lowest set bit: the first zero byte
    uint64_t keep = (((marks & (~marks + 1)) >> 7) - 1) & going;  // the bytes before it
    word &= keep;
    std::memcpy(out + 8 * i, &word, 8);
    // The kept bytes counted by a multiply: a count of trailing zero bits
    // would branch on a zero word where the processor lacks the instruction.
    n += static_cast<uint32_t>(((keep & kOnes) * kOnes) >> 56);
    going = 0 - (keep >> 63);
  }
  return n;
}

#ifdef __SSE2__
// Sixteen kept bytes, then sixteen cleared: the bytes from 16 - n on keep
// the first n.
constexpr uint8_t kKeep[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// The same in a few vector instructions where the processor has them.
template <>
uint32_t CopyWindow<2>(const uint8_t* in, uint8_t* out) {
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  uint32_t zeros =
      static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
  uint32_t n = static_cast<uint32_t>(std::countr_zero(zeros | 0x10000));  // 16 when none
  __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeep + 16 - n));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_and_si128(bytes, keep));
  return n;
}

template <>
uint32_t CopyWindow<1>(const uint8_t* in, uint8_t* out) {
  __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));
  uint32_t zeros =
      static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
  uint32_t n = static_cast<uint32_t>(std::countr_zero(zeros | 0x100));  // 8 when none
  __m128i keep = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kKeep + 16 - n));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_and_si128(bytes, keep));
  return n;
}
#endif

// A row's items in the cursor's chunk, and how far its windowed decoding
// (Step) has come: `At` bytes read, `Count` pixels decoded.
struct TRowRun {
  const uint8_t* Items;
  uint32_t Ready;  // bytes at Items in the chunk
  uint8_t* Row;
  uint32_t Stop;  // neither past the row's pixels nor past its room
  uint32_t At = 0;
  uint32_t Count = 0;

  // A step reads the window and the count byte after it, and writes the window.
  template <uint32_t kWords>
  bool CanStep() const {
    return At + 8 * kWords + 2 <= Ready && Count + 8 * kWords <= Stop;
  }

  // Copies up to 8 * kWords literal pixels and, when the stretch ends inside
  // the window, takes the zero run that ends it; needs no bounds check
  // inside, and no branch, as stretch lengths vary at random.
  template <uint32_t kWords>
  void Step() {
    uint32_t n = CopyWindow<kWords>(Items + At, Row + Count);
    uint32_t ended = n < 8 * kWords;  // then a zero item is at n, its count after it
    Count += n + (Items[At + n + 1] & (0 - ended));
    At += n + 2 * ended;
  }
};

// Steps while the row allows, with smaller windows near its end.
void FinishWindows(TRowRun& run) {
  while (run.CanStep<2>())
    run.Step<2>();
  while (run.CanStep<1>())
    run.Step<1>();
}

// Decodes items of a row from a pixel count on; false when the data ends first.
bool DecodeCodedRow(TByteCursor& in, uint32_t frameWidth, uint32_t columns, uint8_t* row,
                    uint32_t count) {
  while (count < frameWidth) {
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
  }
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
  const uint32_t stop = std::min(at.FrameWidth, at.Columns);
  uint8_t* row = at.FirstPixel;
  // Each windowed step waits for the one before it, so two rows are stepped
  // side by side: the next row is taken to start where the row's 2-byte
  // length field says. Its windowed part is kept only when the row really
  // ends there (rows end by counting pixels); otherwise its pixels are
  // cleared again and it is decoded from where the row did end.
  TRowRun next{nullptr, 0, nullptr, stop};
  uint64_t nextItems = 0;
  bool ahead = false;
  for (uint32_t r = 0; r < at.Rows; ++r, row += at.Stride) {
    if (budget == 0) {
      if (ahead) std::memset(row, 0, at.Columns);
      return TDecodeEnd::OverBudget;
    }
    uint64_t rowStart = in.Offset();
    uint8_t lengthField[2];
    bool whole = (in.Ready() >= 2 ? (std::memcpy(lengthField, in.At(), 2), in.Skip(2), true)
                                  : in.Copy(lengthField, 2) == 2) &&
                 in.Ensure();
    bool carried = ahead && whole && in.Offset() == nextItems;
    if (ahead && !carried) std::memset(row, 0, at.Columns);
    ahead = false;
    TRowRun run{in.At(), in.Ready(), row, stop};
    if (carried) {
      run = next;
      in.MoveTo(in.Offset() + run.At);
    } else if (whole) {
      uint32_t length = lengthField[0] | uint32_t{lengthField[1]} << 8;
      ahead = r + 1 < at.Rows && length >= 2 && length <= run.Ready;
      if (ahead) {
        next = TRowRun{run.Items + length, run.Ready - length, row + at.Stride, stop};
        nextItems = in.Offset() + length;
        while (run.CanStep<2>() && next.CanStep<2>()) {
          run.Step<2>();
          next.Step<2>();
        }
        FinishWindows(next);
      }
      FinishWindows(run);
      in.Skip(run.At);
    }
    whole = whole && DecodeCodedRow(in, at.FrameWidth, at.Columns, row, run.Count);
    uint64_t used = in.Offset() - rowStart;
    budget = used < budget ? budget - used : 0;
    if (!whole) {
      if (ahead) std::memset(row + at.Stride, 0, at.Columns);
      return TDecodeEnd::DataEnded;
    }
  }
  return TDecodeEnd::Complete;
}
