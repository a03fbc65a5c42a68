#include "format_shp/shp.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "format_shp/byte_cursor.h"
#include "format_shp/frame_decoder.h"
#include "format_shp/frame_jobs.h"
#include "format_shp/frame_stream.h"
#include "toolkit/base/le_bytes.h"
#include "toolkit/base/page_block.h"

namespace {

// Forgets the source stream however loading ends; the frame stream owns it.
struct TSourceStreamGuard {
  TByteStream*& stream;
  ~TSourceStreamGuard() { stream = nullptr; }
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

std::string SpriteNameOf(const char* fileName) {
  const char* leaf = fileName;
  for (const char* p = fileName; *p; ++p) {
    if (*p == '/' || *p == '\\') leaf = p + 1;
  }
  const char* dot = std::strchr(leaf, '.');
  return dot ? std::string(leaf, dot) : std::string();
}

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

uint8_t* TShp::AllocateCanvases(uint32_t count, uint32_t canvasSize) {
  if (count == 0 || canvasSize == 0) return nullptr;
  // CheckSpriteSize has bounded the total. Each canvas is followed by the
  // zeros coded rows may write past it, so that frames can be decoded in
  // any order.
  canvasBlockSize_ = static_cast<size_t>(uint64_t{count} * (canvasSize + kCodedRowOverrun));
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
  // The command line reads the same frames one at a time through the same
  // stream; here every frame gets a canvas of its own.
  TShpFrameStream stream;
  stream.Open(fileName, offset, size);
  SourceStream = stream.File();
  TSourceStreamGuard guard{SourceStream};
  LoadReport = stream.Report();
  Width = stream.Width();
  Height = stream.Height();
  if (LoadReport.Refusal != TShpRefusal::None) return;
  TakeFrames(stream);
  stream.Survey(TwoThreadCanvasBytes);
  LoadReport = stream.Report();
}

void TShp::TakeFrames(TShpFrameStream& stream) {
  const int32_t count = stream.FrameCount();
  Frames->SetCapacity(count);
  uint32_t withCanvas = 0;
  for (int32_t i = 0; i < count; ++i)
    withCanvas += stream.HasCanvas(i) ? 1 : 0;
  const uint32_t canvasSize = stream.CanvasSize();
  uint8_t* nextCanvas = AllocateCanvases(withCanvas, canvasSize);
  for (int32_t i = 0; i < count; ++i) {
    const TShpFrameHeader& header = stream.Header(i);
    TShpSprite* frame = AddFrame();
    frame->X = header.X;
    frame->Y = header.Y;
    frame->FrameWidth = header.FrameWidth;
    frame->FrameHeight = header.FrameHeight;
    frame->Compression = header.Compression;
    frame->Extra1 = header.Extra1;
    frame->Extra2 = header.Extra2;
    frame->DataOffset = header.DataOffset;
    frame->HasPixels = header.DataOffset != 0;
    if (!frame->HasPixels) continue;
    if (!stream.HasCanvas(i)) {
      frame->Canvas = MakeMemoryStream();  // nothing is decoded: an empty canvas
      continue;
    }
    frame->Canvas = MakeCanvasView(nextCanvas, canvasSize);
    if (TFrameJob* job = stream.JobOf(i)) job->Canvas = nextCanvas;
    nextCanvas += canvasSize + kCodedRowOverrun;
  }
  FrameCount = count;
}
