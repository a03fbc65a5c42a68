#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "format_shp/frame_jobs.h"
#include "format_shp/shp_load_report.h"
#include "toolkit/base/file_io.h"

class TByteCursor;
class TByteStream;

// The fields of one 24-byte frame header; a field cut off by the end of the
// file reads 0.
struct TShpFrameHeader {
  uint16_t X = 0;
  uint16_t Y = 0;
  uint16_t FrameWidth = 0;
  uint16_t FrameHeight = 0;
  uint32_t Compression = 0;
  uint32_t Extra1 = 0;
  uint32_t Extra2 = 0;
  uint32_t DataOffset = 0;  // 0: the frame has no pixels
};

// A file opened once more, to decode frames on another thread.
class TShpFrameReader {
 public:
  // Reads `end` bytes of the file from `base`, as the stream it serves does.
  TShpFrameReader(TByteStream* file, uint32_t end, uint32_t base);
  ~TShpFrameReader();
  TShpFrameReader(const TShpFrameReader&) = delete;
  TShpFrameReader& operator=(const TShpFrameReader&) = delete;
  TByteCursor& Cursor() { return *in_; }

 private:
  TByteStream* file_;
  std::unique_ptr<TByteCursor> in_;
};

// A sprite file read a frame at a time. Open reads the headers and plans
// every frame; Survey decodes them all once in file order, into scratch
// canvases, to charge the decoding budget and learn how each ends; then
// DecodeFrame gives any frame's canvas again, the same bytes as a load of
// the whole sprite (which is built on this, with a canvas per frame).
class TShpFrameStream {
 public:
  TShpFrameStream();
  ~TShpFrameStream();
  TShpFrameStream(const TShpFrameStream&) = delete;
  TShpFrameStream& operator=(const TShpFrameStream&) = delete;

  // Reads the file's header and frame table. Report() then tells a refusal,
  // cut headers, clipped frames and data past the end; a refused sprite has
  // no frames. With an `offset` or a `size`, the sprite is that part of the
  // file (an archive entry), read as a file of its own; a size of
  // kInvalidFileSize is the rest of the file.
  void Open(const char* fileName, uint32_t offset = 0, uint32_t size = kInvalidFileSize);
  // Decodes every planned frame in file order with the result of doing so
  // on one thread (large sprites on two), charging the budget; Report()
  // gets the frames cut short and those over budget. Jobs with a canvas of
  // their own keep their pixels there.
  void Survey(uint64_t twoThreadBytes);

  // The file being read, owned; nil before Open.
  TByteStream* File() const { return file_; }
  const TShpLoadReport& Report() const { return report_; }
  uint16_t Width() const { return width_; }
  uint16_t Height() const { return height_; }
  int32_t FrameCount() const { return static_cast<int32_t>(headers_.size()); }
  const TShpFrameHeader& Header(int32_t index) const { return headers_[index]; }
  // Height rows of Width + RowPad bytes.
  uint32_t CanvasSize() const { return canvasSize_; }
  // Whether the frame has a canvas: pixels of a decoded kind, in a box of
  // some area. The others have no rows at all.
  bool HasCanvas(int32_t index) const { return plans_[index].HasCanvas; }
  // The job of a frame whose rows are read, nil for one that stays blank.
  TFrameJob* JobOf(int32_t index);

  // A reader of the same file for a second thread: the file opened again,
  // nil when that is not the file this stream reads.
  std::unique_ptr<TShpFrameReader> SecondReader() const;

  // After Survey: writes the frame's canvas into `canvas` (CanvasSize()
  // bytes, followed by kCodedRowOverrun bytes the decoder may clear);
  // false, writing nothing, for a frame without one.
  bool DecodeFrame(int32_t index, uint8_t* canvas);
  // The same through a second reader.
  bool DecodeFrame(int32_t index, uint8_t* canvas, TShpFrameReader& reader);

 private:
  struct TFramePlan {
    bool HasCanvas = false;
    int32_t Job = -1;
  };

  bool DecodeFrameWith(int32_t index, uint8_t* canvas, TByteCursor& in);
  void ReadFrameHeaders();
  void PlanFrames();
  void PlanFrame(int32_t index);

  std::string fileName_;
  TByteStream* file_ = nullptr;
  std::unique_ptr<TByteCursor> in_;
  TShpLoadReport report_;
  uint16_t width_ = 0;
  uint16_t height_ = 0;
  uint32_t canvasSize_ = 0;
  uint64_t budget_ = 0;  // what the coded rows of the sprite may consume
  std::vector<TShpFrameHeader> headers_;
  std::vector<TFramePlan> plans_;
  std::vector<TFrameJob> jobs_;
};
