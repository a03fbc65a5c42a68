#pragma once

#include <cstdint>

class TByteCursor;

// Where a frame's rows land in its canvas, already clipped to the sprite box.
struct TFramePlacement {
  uint8_t* FirstPixel = nullptr;  // canvas byte of frame row 0, column 0
  uint32_t Stride = 0;            // canvas row length, W + RowPad
  uint32_t FrameWidth = 0;        // Cx: pixels in each row of the file
  uint32_t Rows = 0;              // frame rows inside the box
  uint32_t Columns = 0;           // frame columns inside the box
};

enum class TDecodeEnd : uint8_t {
  Complete,
  DataEnded,   // the file ended first; what was not read stays colour 0
  OverBudget,  // stopped: the sprite's allowance of coded bytes is used up
};

// Raw rows at `dataOffset`: Cy rows, each `rowLead` bytes that decoding
// does not need and then exactly Cx bytes of pixels. Only the pixels inside
// the box are read.
TDecodeEnd DecodeRawRows(TByteCursor& in, uint64_t dataOffset, const TFramePlacement& at,
                         uint32_t rowLead);

// Coded rows may write zeros up to this many bytes past a row's last pixel:
// over later rows, which are decoded after it, and past the canvas, which
// must be followed by that many bytes of its own.
constexpr uint32_t kCodedRowOverrun = 32;

// Run-length rows at `dataOffset`: each a 2-byte field, then items up to Cx
// pixels. `budget` is what all coded rows of the sprite may still consume; it
// is charged with every row read.
TDecodeEnd DecodeCodedRows(TByteCursor& in, uint64_t dataOffset, const TFramePlacement& at,
                           uint64_t& budget);
