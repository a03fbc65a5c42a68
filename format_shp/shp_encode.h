#pragma once

#include <cstdint>
#include <vector>

#include "format_shp/shp.h"

// One frame to write: its header fields and, unless Pixels is null, Height
// rows of Width colour indices, Stride bytes apart. A frame without pixels
// gets data offset 0.
struct TShpFrameOut {
  uint16_t X = 0;
  uint16_t Y = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  // kShpRawRows or kShpRawRowsToo: raw rows; kShpCodedRows: run-length rows.
  uint32_t Compression = kShpCodedRows;
  // Picks the smaller of run-length (kept on a tie) and raw (kShpRawRowsToo)
  // instead of Compression.
  bool ChooseSmaller = false;
  const uint8_t* Pixels = nullptr;
  uint32_t Stride = 0;
};

// How an image's frame is packed.
enum class TShpPacking : uint8_t { Smaller, Coded, Raw };

// The frame of a Width x Height image of indices (rows `stride` apart, top
// first): the smallest rectangle around its non-zero pixels. An image
// without one becomes a 1 x 1 frame at (0, 0) holding index 0, so that it
// still decodes to a picture of the whole box.
TShpFrameOut FrameOfImage(const uint8_t* pixels, uint16_t width, uint16_t height, uint32_t stride,
                          TShpPacking packing);

// Builds an SHP file frame by frame: each frame's data is coded as it is
// added, so the images it came from need not be kept.
class TShpEncoder {
 public:
  // False, adding nothing, when run-length rows are asked for and a row's
  // byte count does not fit its 16-bit length field, or when the file would
  // pass the 4 GiB its offsets can reach.
  bool AddFrame(const TShpFrameOut& frame);
  // Makes room for `frames` frames of a width x height box at once; packed
  // the smaller way no frame takes more than width x height bytes. Only a
  // hint: room is capped, and more frames still fit.
  void Reserve(uint32_t frames, uint16_t width, uint16_t height);
  uint32_t FrameCount() const {
    return static_cast<uint32_t>(headers_.size() / kShpFrameHeaderSize);
  }
  // The whole file: header (0, width, height, frame count), the frame
  // table, then each frame's data in frame order. The count is taken modulo
  // 65536; callers refuse more frames first.
  std::vector<uint8_t> Finish(uint16_t width, uint16_t height) const;
  // The same in two parts, for writing without joining them: the header
  // with the frame table, then the frames' data.
  std::vector<uint8_t> HeaderAndTable(uint16_t width, uint16_t height) const;
  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  static constexpr uint32_t kNoPixels = 0xFFFFFFFF;
  bool CodeRows(const TShpFrameOut& frame, uint64_t limit, uint64_t& size);

  std::vector<uint8_t> headers_;
  std::vector<uint32_t> dataOffsets_;  // into data_, per frame; kNoPixels without
  std::vector<uint8_t> data_;
  std::vector<uint8_t> scratch_;  // one frame's run-length rows
};

// Bytes past a coded row that EncodeCodedRow may overwrite.
constexpr uint32_t kCodedRowSlack = 16;

// One run-length row of `width` pixels written at `out`, which has room for
// 2 + 2 * width + kCodedRowSlack bytes; answers the row's size.
uint32_t EncodeCodedRow(const uint8_t* pixels, uint32_t width, uint8_t* out);
