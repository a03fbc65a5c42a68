#include "format_shp/shp.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "format_shp/byte_cursor.h"
#include "format_shp/frame_decoder.h"
#include "format_shp/frame_jobs.h"
#include "toolkit/base/le_bytes.h"
#include "toolkit/base/page_block.h"

namespace {

// The file's own name, without its folder, up to its first ".".
std::string SpriteNameOf(const char* fileName) {
  const char* leaf = fileName;
  for (const char* p = fileName; *p; ++p) {
    if (*p == '/' || *p == '\\') leaf = p + 1;
  }
  const char* dot = std::strchr(leaf, '.');
  return dot ? std::string(leaf, dot) : std::string();
}

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
void ReadFrameHeader(TShpSprite* frame, const uint8_t* h, uint32_t present) {
  auto field16 = [&](uint32_t at) -> uint16_t { return present >= at + 2 ? ReadLe16(h + at) : 0; };
  auto field32 = [&](uint32_t at) -> uint32_t { return present >= at + 4 ? ReadLe32(h + at) : 0; };
  frame->X = field16(0);
  frame->Y = field16(2);
  frame->FrameWidth = field16(4);
  frame->FrameHeight = field16(6);
  frame->Compression = field32(8);
  frame->Extra1 = field32(12);
  frame->Extra2 = field32(16);
  frame->DataOffset = field32(20);
}

// Frees the source stream however loading ends.
struct TSourceStreamGuard {
  TByteStream*& stream;
  ~TSourceStreamGuard() {
    Free(stream);
    stream = nullptr;
  }
};

// A canvas over its part of the sprite's block: read like any memory
// stream, but never grown, written or freed by itself.
SpriteCanvas* MakeCanvasView(uint8_t* pixels, uint32_t size) {
  SpriteCanvas* canvas = MakeMemoryStream();
  canvas->Block = pixels;
  canvas->Capacity = canvas->Size = canvas->Position = static_cast<int32_t>(size);
  canvas->Ops.Close = [](TByteStream* s) { s->Block = nullptr; };
  canvas->Ops.SetSize = [](TByteStream*, uint32_t) {};
  canvas->Ops.Write = [](TByteStream*, const void*, uint32_t) -> uint32_t { return 0; };
  canvas->Ops.Seek = [](TByteStream* s, int32_t offset, uint8_t origin) -> uint32_t {
    int64_t base = origin == kFromCurrent ? s->Position : origin == kFromEnd ? s->Size : 0;
    int64_t target = base + offset;
    if (target < 0 || target > s->Size) return kInvalidSetFilePointer;
    s->Position = static_cast<int32_t>(target);
    return static_cast<uint32_t>(target);
  };
  return canvas;
}

}  // namespace

void TShpSprite::Destroy() {
  Free(Canvas);
  Canvas = nullptr;
  Free(Bitmap);
  Bitmap = nullptr;
  TBaseObject::Destroy();
}

TShpRefusal CheckSpriteSize(uint16_t width, uint16_t height, uint32_t framesWithPixels,
                            uint64_t& bytesNeeded) {
  uint64_t canvas = uint64_t{height} * (width + RowPad(width));
  uint64_t image = kFrameImageHeaderSize + canvas;
  if (image > uint64_t{std::numeric_limits<int32_t>::max()}) {
    bytesNeeded = image;
    return TShpRefusal::ImageTooLarge;
  }
  // Each frame with pixels keeps its canvas and, once built, an image of it.
  uint64_t total = (canvas + image) * framesWithPixels;
  if (total > kMaxCanvasBytes) {
    bytesNeeded = total;
    return TShpRefusal::CanvasesTooLarge;
  }
  bytesNeeded = 0;
  return TShpRefusal::None;
}

TShp::TShp() : Frames(new TPtrList()) {}

void TShp::Destroy() {
  Clear();
  Free(Frames);
  Frames = nullptr;
  TBaseObject::Destroy();
}

TShpSprite* TShp::FrameAt(int32_t index) const {
  return static_cast<TShpSprite*>(Frames->ItemAt(index));
}

TShpSprite* TShp::AddFrame() {
  auto* frame = new TShpSprite();
  Frames->Add(frame);
  return frame;
}

void TShp::Clear() {
  // Freed front to back, then the list emptied at once: taking records off
  // the front one by one would move the whole list for each.
  for (int32_t i = 0; i < Frames->Count; ++i)
    Free(static_cast<TShpSprite*>(Frames->Items[i]));
  Frames->Clear();
  FrameCount = 0;
  FreePages(canvasBlock_, canvasBlockSize_);
  canvasBlock_ = nullptr;
  canvasBlockSize_ = 0;
}

uint8_t* TShp::AllocateCanvases(uint32_t canvasSize) {
  uint64_t count = 0;
  for (int32_t i = 0; i < FrameCount; ++i) {
    const TShpSprite* frame = FrameAt(i);
    count += frame->DataOffset != 0 && IsDecodedKind(frame->Compression) ? 1 : 0;
  }
  if (count == 0 || canvasSize == 0) return nullptr;
  // CheckSpriteSize has bounded the total. Each canvas is followed by the
  // zeros coded rows may write past it, so that frames can be decoded in
  // any order.
  canvasBlockSize_ = static_cast<size_t>(count * (canvasSize + kCodedRowOverrun));
  canvasBlock_ = AllocateZeroedPages(canvasBlockSize_);
  if (!canvasBlock_) {
    canvasBlockSize_ = 0;
    throw std::bad_alloc();
  }
  return canvasBlock_;
}

TDib* TShp::GetFrameBitmap(int32_t index) {
  TShpSprite* frame = FrameAt(index);
  if (!frame) return nullptr;
  if (!frame->Bitmap) frame->Bitmap = MakeDib(1, 1);
  return frame->Bitmap;
}

void TShp::LoadShpFile(const char* fileName) {
  Name = SpriteNameOf(fileName);
  Load(fileName, 0, kInvalidFileSize);
}

void TShp::LoadShpRange(const char* fileName, uint32_t offset, uint32_t size,
                        const char* spriteFileName) {
  Name = SpriteNameOf(spriteFileName);
  Load(fileName, offset, size);
}

void TShp::Load(const char* fileName, uint32_t offset, uint32_t size) {
  Clear();
  LoadReport = TShpLoadReport();
  Width = Height = 0;

  SourceStream = MakeFileReader(fileName);
  TSourceStreamGuard guard{SourceStream};
  if (SourceStream->FileHandle == kInvalidFileHandle) {
    LoadReport.Refusal = TShpRefusal::CannotOpen;
    return;
  }
  uint32_t fileSize = SourceStream->GetSize();
  // Sizes beyond 32 bits cannot be told; the cursor stops where seeking does.
  if (fileSize == kInvalidFileSize) fileSize = std::numeric_limits<int32_t>::max();
  // A range is cut to what the file holds.
  uint32_t rest = offset < fileSize ? fileSize - offset : 0;
  size = std::min(size, rest);
  LoadReport.FileSize = size;

  TByteCursor in(SourceStream, size, offset);
  uint8_t header[kShpFileHeaderSize];
  if (in.Copy(header, kShpFileHeaderSize) < kShpFileHeaderSize) {
    LoadReport.Refusal = TShpRefusal::ShorterThanHeader;
    return;
  }
  Width = ReadLe16(header + 2);
  Height = ReadLe16(header + 4);
  LoadReport.FramesInHeader = ReadLe16(header + 6);

  ReadFrameHeaders(in);
  uint32_t withPixels = 0;
  for (int32_t i = 0; i < FrameCount; ++i)
    withPixels += FrameAt(i)->DataOffset != 0 ? 1 : 0;
  LoadReport.Refusal = CheckSpriteSize(Width, Height, withPixels, LoadReport.BytesNeeded);
  if (LoadReport.Refusal != TShpRefusal::None) return Clear();
  DecodeFrames(in, fileName, withPixels);
}

void TShp::ReadFrameHeaders(TByteCursor& in) {
  uint32_t count = LoadReport.FramesInHeader;
  Frames->SetCapacity(static_cast<int32_t>(count));
  for (uint32_t i = 0; i < count; ++i) {
    TShpSprite* frame = AddFrame();
    uint8_t entry[kShpFrameHeaderSize];
    uint32_t present = in.Copy(entry, kShpFrameHeaderSize);
    if (present < kShpFrameHeaderSize) LoadReport.HeadersCut += 1;
    ReadFrameHeader(frame, entry, present);
  }
  FrameCount = static_cast<int32_t>(count);
}

void TShp::DecodeFrames(TByteCursor& in, const char* fileName, uint32_t framesWithPixels) {
  const uint32_t stride = Width + RowPad(Width);
  const uint32_t canvasSize = Height * stride;
  // Honest files read each coded byte about once, and at most about two
  // coded bytes per canvas pixel; frames that point into each other's data
  // could otherwise make a small file cost hours.
  uint64_t budget =
      2 * uint64_t{in.End()} + 2 * uint64_t{canvasSize} * framesWithPixels + (uint64_t{1} << 20);
  std::vector<TFrameJob> jobs = PlanFrames(in.End(), stride, canvasSize);
  DecodeFrameJobs(jobs, in, fileName, TwoThreadCanvasBytes, budget);
  for (const TFrameJob& job : jobs) {
    if (job.End == TDecodeEnd::DataEnded) LoadReport.Truncated.Add(job.Index);
    if (job.End == TDecodeEnd::OverBudget) LoadReport.OverBudget.Add(job.Index);
  }
}

std::vector<TFrameJob> TShp::PlanFrames(uint32_t fileSize, uint32_t stride, uint32_t canvasSize) {
  std::vector<TFrameJob> jobs;
  uint8_t* nextCanvas = AllocateCanvases(canvasSize);
  for (int32_t i = 0; i < FrameCount; ++i) {
    TShpSprite* frame = FrameAt(i);
    frame->HasPixels = frame->DataOffset != 0;
    if (!frame->HasPixels) continue;
    if (!IsDecodedKind(frame->Compression) || canvasSize == 0) {
      frame->Canvas = MakeMemoryStream();  // nothing is decoded: an empty canvas
      continue;
    }
    // Already zero: margins, blank rows and zero runs are in place, and
    // pixels outside the box are never written.
    frame->Canvas = MakeCanvasView(nextCanvas, canvasSize);
    TFrameJob job;
    job.Canvas = nextCanvas;
    job.CanvasSize = canvasSize;
    nextCanvas += canvasSize + kCodedRowOverrun;

    uint32_t x = frame->X, y = frame->Y, cx = frame->FrameWidth, cy = frame->FrameHeight;
    if (x + cx > Width || y + cy > Height) LoadReport.Clipped.Add(i);
    job.At.Stride = stride;
    job.At.FrameWidth = cx;
    job.At.Rows = y < Height ? std::min(cy, Height - y) : 0;
    job.At.Columns = x < Width ? std::min(cx, Width - x) : 0;
    if (job.At.Rows == 0 || job.At.Columns == 0) continue;  // nothing of it is inside the box
    job.At.FirstPixel = job.Canvas + y * stride + x;

    if (frame->DataOffset >= fileSize) {
      LoadReport.DataPastEnd.Add(i);
      continue;
    }
    job.Index = i;
    job.Coded = FrameKind(frame->Compression) == kShpCodedRows;
    job.RowLead = RawRowLead(frame->Compression);
    job.DataOffset = frame->DataOffset;
    jobs.push_back(job);
  }
  return jobs;
}
