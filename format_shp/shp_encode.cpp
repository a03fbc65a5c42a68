#include "format_shp/shp_encode.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "toolkit/base/le_bytes.h"

namespace {

// A run-length row's length field must hold the row's whole byte count.
constexpr uint32_t kMaxCodedRow = 0xFFFF;
// Data offsets are 32-bit; the frame table comes first.
constexpr uint64_t kMaxDataSize =
    0xFFFFFFFFu - kShpFileHeaderSize - uint64_t{kShpFrameHeaderSize} * 0xFFFF;

// Row pixels are coded a block at a time, from a mask of its zero pixels.
constexpr uint32_t kBlock = 64;
// Literals are copied this many bytes at a time.
constexpr uint32_t kChunk = 16;
static_assert(kCodedRowSlack >= kChunk);

// Bit b set when p[b] is 0, for b < n <= kBlock; p has kBlock readable
// bytes.
uint64_t ZeroMask(const uint8_t* p, uint32_t n) {
  uint64_t mask = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (uint32_t k = 0; k < kBlock; k += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
    uint32_t bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
    mask |= uint64_t{bits} << k;
  }
#else
  for (uint32_t k = 0; k < kBlock; ++k)
    mask |= uint64_t{p[k] == 0} << k;
#endif
  return n < kBlock ? mask & ((uint64_t{1} << n) - 1) : mask;
}

// Writes all but the last (1..255) of a run's pixels as runs of 255.
uint8_t* PutLongRun(uint8_t* o, uint32_t& run) {
  for (; run > 255; run -= 255, o += 2) {
    o[0] = 0;
    o[1] = 255;
  }
  return o;
}

uint64_t Word(const uint8_t* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}

// Zero pixels from `p`, at most `limit`.
uint32_t ZeroLength(const uint8_t* p, uint32_t limit) {
  uint32_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    uint64_t word = Word(p + n);
    if (word != 0) return n + static_cast<uint32_t>(std::countr_zero(word)) / 8;
  }
  while (n < limit && p[n] == 0)
    ++n;
  return n;
}

// Widens the span [left, right] of non-zero columns (empty while left >
// right) by the row's, reading only the columns outside it where it can;
// false when the row has no non-zero pixel.
bool WidenSpan(const uint8_t* row, uint32_t width, uint32_t& left, uint32_t& right) {
  const bool hadSpan = left <= right;
  uint32_t first = ZeroLength(row, left);  // the columns before the span
  bool any = first < left;
  if (any) left = first;
  // The columns after the span; without one, the rest of the row.
  for (uint32_t x = width, stop = hadSpan ? right + 1 : left; x > stop; --x) {
    if (row[x - 1] != 0) {
      right = x - 1;
      return true;
    }
  }
  if (any || !hadSpan) return any;
  return ZeroLength(row + left, right - left + 1) <= right - left;
}

void PutFrameHeader(uint8_t* h, const TShpFrameOut& frame, uint32_t compression) {
  WriteLe16(h, frame.X);
  WriteLe16(h + 2, frame.Y);
  WriteLe16(h + 4, frame.Width);
  WriteLe16(h + 6, frame.Height);
  WriteLe32(h + 8, compression);
  // The two fields after the compression and the data offset stay 0; the
  // offset is filled in by Finish.
}

}  // namespace

uint32_t EncodeCodedRow(const uint8_t* pixels, uint32_t width, uint8_t* out) {
  uint8_t* o = out + 2;
  uint32_t run = 0;  // zero pixels not yet written; a run may span blocks
  for (uint32_t base = 0; base < width; base += kBlock) {
    const uint32_t n = std::min(kBlock, width - base);
    const uint8_t* p = pixels + base;
    // A block short of kBlock pixels is read from a padded copy.
    uint8_t tail[kBlock];
    if (n < kBlock) {
      std::memset(tail, 0xFF, sizeof tail);
      std::memcpy(tail, p, n);
      p = tail;
    }
    const uint64_t zeros = ZeroMask(p, n);
    uint32_t x = 0;
    while (x < n) {
      uint32_t z = static_cast<uint32_t>(std::countr_zero(~(zeros >> x)));
      run += z;
      x += z;
      if (x >= n) break;
      if (run > 255) [[unlikely]]
        o = PutLongRun(o, run);
      // Written whether or not there is a run; kept only if there is one.
      o[0] = 0;
      o[1] = static_cast<uint8_t>(run);
      o += run != 0 ? 2 : 0;
      run = 0;
      uint32_t l = std::min(static_cast<uint32_t>(std::countr_zero(zeros >> x)), n - x);
      // Whole chunks may read up to kChunk - 1 pixels past the stretch,
      // which near the row's end lie past the row.
      if (base + x + l + kChunk <= width) [[likely]] {
        for (uint32_t k = 0; k < l; k += kChunk)
          std::memcpy(o + k, p + x + k, kChunk);
      } else {
        std::memcpy(o, p + x, l);
      }
      o += l;
      x += l;
    }
  }
  if (run > 255) o = PutLongRun(o, run);
  if (run > 0) {
    o[0] = 0;
    o[1] = static_cast<uint8_t>(run);
    o += 2;
  }
  uint32_t size = static_cast<uint32_t>(o - out);
  WriteLe16(out, static_cast<uint16_t>(size));
  return size;
}

TShpFrameOut FrameOfImage(const uint8_t* pixels, uint16_t width, uint16_t height, uint32_t stride,
                          TShpPacking packing) {
  static const uint8_t kZero = 0;
  uint32_t left = width, right = 0, top = height, bottom = 0;
  for (uint32_t y = 0; y < height; ++y) {
    if (!WidenSpan(pixels + uint64_t{y} * stride, width, left, right)) continue;
    top = std::min(top, y);
    bottom = y;
  }
  TShpFrameOut frame;
  frame.ChooseSmaller = packing == TShpPacking::Smaller;
  frame.Compression = packing == TShpPacking::Raw ? kShpRawRowsToo : kShpCodedRows;
  frame.Width = frame.Height = 1;
  frame.Pixels = &kZero;
  frame.Stride = 1;
  if (top == height) return frame;
  frame.X = static_cast<uint16_t>(left);
  frame.Y = static_cast<uint16_t>(top);
  frame.Width = static_cast<uint16_t>(right - left + 1);
  frame.Height = static_cast<uint16_t>(bottom - top + 1);
  frame.Pixels = pixels + uint64_t{top} * stride + left;
  frame.Stride = stride;
  return frame;
}

// Codes the frame's rows into scratch_; stops once they pass `limit` bytes.
// False when a row does not fit its length field.
bool TShpEncoder::CodeRows(const TShpFrameOut& frame, uint64_t limit, uint64_t& size) {
  const uint32_t rowRoom = 2 + 2 * uint32_t{frame.Width} + kCodedRowSlack;
  size = 0;
  for (uint32_t y = 0; y < frame.Height && size <= limit; ++y) {
    if (scratch_.size() < size + rowRoom) scratch_.resize(std::max(size + rowRoom, 2 * size));
    uint32_t row = EncodeCodedRow(frame.Pixels + uint64_t{y} * frame.Stride, frame.Width,
                                  scratch_.data() + size);
    if (row > kMaxCodedRow) return false;
    size += row;
  }
  return true;
}

bool TShpEncoder::AddFrame(const TShpFrameOut& frame) {
  uint32_t compression = frame.Compression;
  const uint64_t rawSize = uint64_t{frame.Width} * frame.Height;
  size_t start = data_.size();
  if (frame.Pixels && (frame.ChooseSmaller || compression == kShpCodedRows)) {
    uint64_t size = 0;
    bool fits = CodeRows(frame, frame.ChooseSmaller ? rawSize : UINT64_MAX, size);
    bool coded = fits && (!frame.ChooseSmaller || size <= rawSize);
    if (!coded && !frame.ChooseSmaller) return false;
    compression = coded ? kShpCodedRows : kShpRawRowsToo;
    if (coded) data_.insert(data_.end(), scratch_.begin(), scratch_.begin() + size);
  }
  if (frame.Pixels && compression != kShpCodedRows) {
    data_.resize(start + rawSize);
    for (uint32_t y = 0; y < frame.Height; ++y)
      std::memcpy(data_.data() + start + uint64_t{y} * frame.Width,
                  frame.Pixels + uint64_t{y} * frame.Stride, frame.Width);
  }
  if (data_.size() > kMaxDataSize) {
    data_.resize(start);
    return false;
  }
  size_t at = headers_.size();
  headers_.resize(at + kShpFrameHeaderSize, 0);
  PutFrameHeader(headers_.data() + at, frame, compression);
  dataOffsets_.push_back(frame.Pixels ? static_cast<uint32_t>(start) : kNoPixels);
  return true;
}

void TShpEncoder::Reserve(uint32_t frames, uint16_t width, uint16_t height) {
  constexpr uint64_t kMaxReserve = uint64_t{256} << 20;
  headers_.reserve(uint64_t{frames} * kShpFrameHeaderSize);
  dataOffsets_.reserve(frames);
  data_.reserve(std::min(uint64_t{frames} * width * height, kMaxReserve));
}

std::vector<uint8_t> TShpEncoder::HeaderAndTable(uint16_t width, uint16_t height) const {
  std::vector<uint8_t> head(kShpFileHeaderSize + headers_.size());
  uint8_t* out = head.data();
  WriteLe16(out + 2, width);
  WriteLe16(out + 4, height);
  WriteLe16(out + 6, static_cast<uint16_t>(FrameCount()));
  const uint32_t dataStart = static_cast<uint32_t>(head.size());
  std::memcpy(out + kShpFileHeaderSize, headers_.data(), headers_.size());
  for (size_t i = 0; i < dataOffsets_.size(); ++i) {
    uint32_t offset = dataOffsets_[i] == kNoPixels ? 0 : dataStart + dataOffsets_[i];
    WriteLe32(out + kShpFileHeaderSize + i * kShpFrameHeaderSize + 20, offset);
  }
  return head;
}

std::vector<uint8_t> TShpEncoder::Finish(uint16_t width, uint16_t height) const {
  std::vector<uint8_t> file = HeaderAndTable(width, height);
  file.insert(file.end(), data_.begin(), data_.end());
  return file;
}
