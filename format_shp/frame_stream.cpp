#include "format_shp/frame_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "format_shp/byte_cursor.h"
#include "format_shp/shp.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/le_bytes.h"

namespace {

bool IsDecodedKind(uint32_t compression) {
  uint32_t kind = FrameKind(compression);
  return kind == kShpRawRows || kind == kShpRawRowsToo || kind == kShpFieldedRawRows ||
         kind == kShpCodedRows;
}

// Bytes before the pixels of each raw row of a frame of this kind.
uint32_t RawRowLead(uint32_t compression) {
  return FrameKind(compression) == kShpFieldedRawRows ? 2 : 0;
}

// Reads the fields of one 24-byte frame header of which only `present`
// bytes exist; a field cut by the end of the file stays 0.
TShpFrameHeader ReadFrameHeader(const uint8_t* h, uint32_t present) {
  auto field16 = [&](uint32_t at) -> uint16_t { return present >= at + 2 ? ReadLe16(h + at) : 0; };
  auto field32 = [&](uint32_t at) -> uint32_t { return present >= at + 4 ? ReadLe32(h + at) : 0; };
  TShpFrameHeader header;
  header.X = field16(0);
  header.Y = field16(2);
  header.FrameWidth = field16(4);
  header.FrameHeight = field16(6);
  header.Compression = field32(8);
  header.Extra1 = field32(12);
  header.Extra2 = field32(16);
  header.DataOffset = field32(20);
  return header;
}

}  // namespace

TShpFrameStream::TShpFrameStream() = default;

TShpFrameStream::~TShpFrameStream() {
  in_.reset();
  Free(file_);
}

void TShpFrameStream::Open(const char* fileName, uint32_t offset, uint32_t size) {
  in_.reset();
  Free(file_);
  fileName_ = fileName;
  report_ = TShpLoadReport();
  width_ = height_ = 0;
  headers_.clear();
  plans_.clear();
  jobs_.clear();

  file_ = MakeFileReader(fileName);
  if (file_->FileHandle == kInvalidFileHandle) {
    report_.Refusal = TShpRefusal::CannotOpen;
    return;
  }
  uint32_t fileSize = file_->GetSize();
  // Sizes beyond 32 bits cannot be told; the cursor stops where seeking does.
  if (fileSize == kInvalidFileSize) fileSize = std::numeric_limits<int32_t>::max();
  // A range is cut to what the file holds.
  uint32_t rest = offset < fileSize ? fileSize - offset : 0;
  size = std::min(size, rest);
  report_.FileSize = size;

  in_ = std::make_unique<TByteCursor>(file_, size, offset);
  uint8_t header[kShpFileHeaderSize];
  if (in_->Copy(header, kShpFileHeaderSize) < kShpFileHeaderSize) {
    report_.Refusal = TShpRefusal::ShorterThanHeader;
    return;
  }
  width_ = ReadLe16(header + 2);
  height_ = ReadLe16(header + 4);
  report_.FramesInHeader = ReadLe16(header + 6);

  ReadFrameHeaders();
  uint32_t withPixels = 0;
  for (const TShpFrameHeader& frame : headers_)
    withPixels += frame.DataOffset != 0 ? 1 : 0;
  report_.Refusal = CheckSpriteSize(width_, height_, withPixels, report_.BytesNeeded);
  if (report_.Refusal != TShpRefusal::None) {
    headers_.clear();
    return;
  }
  canvasSize_ = height_ * (width_ + RowPad(width_));
  // Honest files read each coded byte about once, and at most about two
  // coded bytes per canvas pixel; frames that point into each other's data
  // could otherwise make a small file cost hours.
  budget_ = 2 * uint64_t{size} + 2 * uint64_t{canvasSize_} * withPixels + (uint64_t{1} << 20);
  PlanFrames();
}

void TShpFrameStream::ReadFrameHeaders() {
  uint32_t count = report_.FramesInHeader;
  headers_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t entry[kShpFrameHeaderSize];
    uint32_t present = in_->Copy(entry, kShpFrameHeaderSize);
    if (present < kShpFrameHeaderSize) report_.HeadersCut += 1;
    headers_.push_back(ReadFrameHeader(entry, present));
  }
}

void TShpFrameStream::PlanFrames() {
  plans_.assign(headers_.size(), TFramePlan());
  jobs_.reserve(headers_.size());  // fresh pages once, never a copy
  for (int32_t i = 0; i < FrameCount(); ++i)
    PlanFrame(i);
}

void TShpFrameStream::PlanFrame(int32_t index) {
  const TShpFrameHeader& frame = headers_[index];
  if (frame.DataOffset == 0) return;
  if (!IsDecodedKind(frame.Compression) || canvasSize_ == 0) return;  // nothing is decoded
  // A canvas starts all 0: margins, blank rows and zero runs are in place,
  // and pixels outside the box are never written.
  plans_[index].HasCanvas = true;
  uint32_t x = frame.X, y = frame.Y, cx = frame.FrameWidth, cy = frame.FrameHeight;
  if (x + cx > width_ || y + cy > height_) report_.Clipped.Add(index);
  TFrameJob job;
  job.CanvasSize = canvasSize_;
  job.At.Stride = width_ + RowPad(width_);
  job.At.FrameWidth = cx;
  job.At.Rows = y < height_ ? std::min<uint32_t>(cy, height_ - y) : 0;
  job.At.Columns = x < width_ ? std::min<uint32_t>(cx, width_ - x) : 0;
  if (job.At.Rows == 0 || job.At.Columns == 0) return;  // nothing of it is inside the box
  job.PixelAt = y * job.At.Stride + x;

  if (frame.DataOffset >= report_.FileSize) {
    report_.DataPastEnd.Add(index);
    return;
  }
  job.Index = index;
  job.Coded = FrameKind(frame.Compression) == kShpCodedRows;
  job.RowLead = RawRowLead(frame.Compression);
  job.DataOffset = frame.DataOffset;
  plans_[index].Job = static_cast<int32_t>(jobs_.size());
  jobs_.push_back(job);
}

TFrameJob* TShpFrameStream::JobOf(int32_t index) {
  int32_t job = plans_[index].Job;
  return job < 0 ? nullptr : &jobs_[job];
}

void TShpFrameStream::Survey(uint64_t twoThreadBytes) {
  if (jobs_.empty()) return;
  uint64_t budget = budget_;
  DecodeFrameJobs(jobs_, *in_, fileName_.c_str(), twoThreadBytes, budget);
  for (const TFrameJob& job : jobs_) {
    if (job.End == TDecodeEnd::DataEnded) report_.Truncated.Add(job.Index);
    if (job.End == TDecodeEnd::OverBudget) report_.OverBudget.Add(job.Index);
  }
}

bool TShpFrameStream::DecodeFrame(int32_t index, uint8_t* canvas) {
  return DecodeFrameWith(index, canvas, *in_);
}

bool TShpFrameStream::DecodeFrame(int32_t index, uint8_t* canvas, TShpFrameReader& reader) {
  return DecodeFrameWith(index, canvas, reader.Cursor());
}

bool TShpFrameStream::DecodeFrameWith(int32_t index, uint8_t* canvas, TByteCursor& in) {
  if (!HasCanvas(index)) return false;
  std::memset(canvas, 0, canvasSize_);
  if (const TFrameJob* job = JobOf(index)) RedecodeFrameJob(*job, in, canvas);
  return true;
}

std::unique_ptr<TShpFrameReader> TShpFrameStream::SecondReader() const {
  if (!in_) return nullptr;
  // Opened again by name: another file may have taken the name since.
  TByteStream* file = MakeFileReader(fileName_.c_str());
  if (file->FileHandle == kInvalidFileHandle || !IsSameFile(file->FileHandle, file_->FileHandle)) {
    Free(file);
    return nullptr;
  }
  return std::make_unique<TShpFrameReader>(file, in_->End(), in_->Base());
}

TShpFrameReader::TShpFrameReader(TByteStream* file, uint32_t end, uint32_t base)
    : file_(file), in_(std::make_unique<TByteCursor>(file, end, base)) {}

TShpFrameReader::~TShpFrameReader() {
  in_.reset();
  Free(file_);
}
