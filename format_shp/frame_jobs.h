#pragma once

#include <cstdint>
#include <span>

#include "format_shp/frame_decoder.h"
#include "toolkit/base/byte_stream.h"

class TByteCursor;

// One frame whose rows are to be decoded, and how that went.
struct TFrameJob {
  int32_t Index = 0;  // the frame's number in the sprite
  bool Coded = false;
  uint32_t RowLead = 0;  // raw rows: bytes before each row's pixels
  uint32_t DataOffset = 0;
  // Where the rows land; FirstPixel is set when the job is decoded, to the
  // canvas plus PixelAt.
  TFramePlacement At;
  uint32_t PixelAt = 0;
  // All of the frame's canvas, to clear it again; nil when the frame is
  // decoded into a scratch canvas of the decoding thread (only to learn how
  // it ends and what it costs).
  uint8_t* Canvas = nullptr;
  uint32_t CanvasSize = 0;

  TDecodeEnd End = TDecodeEnd::Complete;
  uint64_t Used = 0;  // the coded bytes charged to the budget
  // What was left of the budget when the frame was reached in file order:
  // decoding it again with that much gives the same pixels.
  uint64_t BudgetBefore = 0;
};

// Decodes the jobs with the result of doing so in order with the one
// cursor, charging `budget` as it goes. When their canvases come to at
// least `twoThreadBytes` and there is a second processor, the last jobs are
// decoded at the same time on another thread, with a reader of its own that
// `openReader` opens on `fileName`, over the same part of it as `in`. Each
// canvas must be followed by kCodedRowOverrun bytes that belong to no other
// canvas.
void DecodeFrameJobs(std::span<TFrameJob> jobs, TByteCursor& in, const char* fileName,
                     uint64_t twoThreadBytes, uint64_t& budget,
                     TByteStream* (*openReader)(const char*) = MakeFileReader);

// Decodes one job again into `canvas` (CanvasSize bytes of 0, then
// kCodedRowOverrun bytes of its own) with the budget it had in file order.
void RedecodeFrameJob(const TFrameJob& job, TByteCursor& in, uint8_t* canvas);
