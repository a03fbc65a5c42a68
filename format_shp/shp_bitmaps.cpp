// Frame images: a canvas and the sprite's palette composed into an 8-bit
// bottom-up BMP image, loaded into the frame's bitmap.
#include <algorithm>
#include <cstring>

#include "format_shp/frame_image.h"
#include "format_shp/shp.h"
#include "toolkit/base/le_bytes.h"

namespace {

// Offsets in TBmpHeaderTemplate::Rest of the file's fields (file offset - 2).
constexpr uint32_t kAtBfSize = 0;
constexpr uint32_t kAtBfOffBits = 8;
constexpr uint32_t kAtBiSize = 12;
constexpr uint32_t kAtBiWidth = 16;
constexpr uint32_t kAtBiHeight = 20;
constexpr uint32_t kAtBiPlanes = 24;
constexpr uint32_t kAtBiBitCount = 26;
constexpr uint32_t kAtBiSizeImage = 32;
constexpr uint32_t kAtBiXPelsPerMeter = 36;
constexpr uint32_t kAtBiYPelsPerMeter = 40;

// Constant-initialised, so it is ready before any code runs.
constexpr TBmpHeaderTemplate MakeTemplate() {
  TBmpHeaderTemplate t = {{'B', 'M'}, {}};
  auto put = [&t](uint32_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      t.Rest[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  put(kAtBfOffBits, kFrameImageHeaderSize, 4);
  put(kAtBiSize, 40, 4);
  put(kAtBiPlanes, 1, 2);
  put(kAtBiBitCount, 8, 2);
  return t;
}

// Appends the canvas's rows last row first, as a bottom-up BMP stores them.
// The row length is the canvas size divided by the height, so an empty
// canvas adds nothing.
void AppendRowsBottomUp(TByteStream* image, SpriteCanvas* canvas, uint32_t height) {
  uint32_t size = canvas->GetSize();
  uint32_t row = size / height;
  for (uint32_t j = 1; j <= height; ++j) {
    canvas->Seek(static_cast<int32_t>(size - j * row), kFromStart);
    StreamCopy(image, canvas, row);
  }
}

// Fills the image up to `size` with colour 0: a frame of a kind that is not
// decoded has no rows, and its picture is blank.
void PadWithZeros(TByteStream* image, uint32_t size) {
  static const uint8_t kZeros[4096] = {};
  while (image->GetSize() < size) {
    uint32_t count = std::min<uint32_t>(sizeof kZeros, size - image->GetSize());
    if (image->Write(kZeros, count) == 0) return;
  }
}

}  // namespace

constinit const TBmpHeaderTemplate BmpHeaderTemplate = MakeTemplate();

TBmpHeaderTemplate SizedBmpHeader(uint16_t width, uint16_t height) {
  uint32_t pixels = uint32_t{height} * (width + RowPad(width));
  TBmpHeaderTemplate header = BmpHeaderTemplate;
  WriteLe32(header.Rest + kAtBfSize, kFrameImageHeaderSize + pixels);
  WriteLe32(header.Rest + kAtBiWidth, width);
  WriteLe32(header.Rest + kAtBiHeight, height);
  WriteLe32(header.Rest + kAtBiSizeImage, pixels);
  WriteLe32(header.Rest + kAtBiXPelsPerMeter, uint32_t{width} * height);
  WriteLe32(header.Rest + kAtBiYPelsPerMeter, uint32_t{width} * height);
  return header;
}

void TShp::SetPalette(const uint8_t* table) {
  std::memcpy(Palette, table, kPaletteSize);
}

void TShp::BuildBitmaps() {
  if (Width == 0 || Height == 0) return;  // no image; frames keep their placeholders
  const TBmpHeaderTemplate header = SizedBmpHeader(Width, Height);
  const uint32_t imageSize = ReadLe32(header.Rest + kAtBfSize);
  for (int32_t i = 0; i < FrameCount; ++i) {
    TShpSprite* frame = FrameAt(i);
    if (!frame->HasPixels) continue;
    TByteStream* image = MakeMemoryStream();
    image->Reserve(static_cast<int32_t>(imageSize));  // one allocation per image
    image->Write(header.Signature, sizeof header.Signature);
    image->Write(header.Rest, sizeof header.Rest);
    image->Write(Palette, kPaletteSize);
    if (frame->Canvas) AppendRowsBottomUp(image, frame->Canvas, Height);
    PadWithZeros(image, imageSize);
    image->Seek(0, kFromStart);
    if (!frame->Bitmap) frame->Bitmap = new TDib();
    frame->Bitmap->LoadBmpStream(image);
    Free(image);
  }
}
