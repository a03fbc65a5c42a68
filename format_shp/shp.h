#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format_shp/shp_load_report.h"
#include "toolkit/base/base_object.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/dib.h"
#include "toolkit/base/ptr_list.h"

class TShpFrameStream;

// A frame's decoded pixels inside the full sprite box: Height rows of
// Width + RowPad colour indices, top row first. A memory stream.
using SpriteCanvas = TByteStream;

constexpr uint32_t kShpFileHeaderSize = 8;
constexpr uint32_t kShpFrameHeaderSize = 24;
constexpr uint32_t kPaletteSize = 1024;  // 256 entries of blue, green, red, 0
constexpr uint32_t kFrameImageHeaderSize = 1078;

// Compression kinds of a frame header; any other kind decodes no rows.
constexpr uint32_t kShpRawRows = 0;
constexpr uint32_t kShpRawRowsToo = 1;
constexpr uint32_t kShpFieldedRawRows = 2;  // raw rows, each after a 2-byte field
constexpr uint32_t kShpCodedRows = 3;

// The kind of a frame is the low byte of its 32-bit compression field: the
// game's own tools leave the three upper bytes uninitialised.
inline uint32_t FrameKind(uint32_t compression) {
  return compression & 0xFF;
}

// Together, the canvases of one sprite and the frame images built from them
// may take at most this much memory; a file asking for more is refused
// rather than trusted.
constexpr uint64_t kMaxCanvasBytes = uint64_t{512} << 20;

// A second decoding thread takes up to a millisecond to start: worth it
// only for sprites whose canvases come to this much.
constexpr uint64_t kTwoThreadCanvasBytes = uint64_t{4} << 20;

// Bytes that bring `width` up to a multiple of 4.
inline uint32_t RowPad(uint32_t width) {
  return (4 - width % 4) % 4;
}

// One frame of a sprite.
class TShpSprite : public TBaseObject {
 public:
  // The frame's picture, owned. Null until it is first needed:
  // TShp::GetFrameBitmap makes the 1 x 1 placeholder of a frame without an
  // image then, so a file with thousands of empty frames costs no bitmaps.
  TDib* Bitmap = nullptr;
  // Owned; made by decoding, only for frames with pixels. Empty for a
  // compression kind that is not decoded.
  SpriteCanvas* Canvas = nullptr;
  uint16_t X = 0;
  uint16_t Y = 0;
  uint16_t FrameWidth = 0;
  uint16_t FrameHeight = 0;
  uint32_t Compression = 0;
  uint32_t Extra1 = 0;
  uint32_t Extra2 = 0;
  uint32_t DataOffset = 0;  // 0: the frame has no pixels
  bool HasPixels = false;

 protected:
  void Destroy() override;
};

// A sprite's name: the file's own name, without its folder, up to its
// first "." (empty without one).
std::string SpriteNameOf(const char* fileName);

// Answers why a sprite of this box with this many frames with pixels is
// refused for size, or TShpRefusal::None; `bytesNeeded` gets the size that
// was too large.
TShpRefusal CheckSpriteSize(uint16_t width, uint16_t height, uint32_t framesWithPixels,
                            uint64_t& bytesNeeded);

// One loaded sprite file: its box, its frames with their canvases, a
// palette and, after BuildBitmaps, one 8-bit BMP image per frame.
class TShp : public TBaseObject {
 public:
  TShp();

  int32_t FrameCount = 0;
  TPtrList* Frames = nullptr;           // of TShpSprite, owned
  TByteStream* SourceStream = nullptr;  // only while LoadShpFile runs
  uint8_t Palette[kPaletteSize] = {};
  std::string Name;
  uint16_t Width = 0;
  uint16_t Height = 0;
  // What the last LoadShpFile repaired or refused.
  TShpLoadReport LoadReport;
  // Sprites whose canvases come to at least this many bytes are decoded on
  // two threads; the result is the same either way.
  uint64_t TwoThreadCanvasBytes = kTwoThreadCanvasBytes;

  // Replaces the sprite's contents by the file's. Name is the file's own
  // name (without its folder) up to its first ".".
  void LoadShpFile(const char* fileName);
  // The same for a sprite that is `size` bytes of the file from `offset`
  // (an archive entry): it reads as a file of that size. Name comes from
  // `spriteFileName` as it would from a file's name.
  void LoadShpRange(const char* fileName, uint32_t offset, uint32_t size,
                    const char* spriteFileName);
  // Nil when the index is outside the frames.
  TShpSprite* FrameAt(int32_t index) const;
  // Appends a frame with all fields zero.
  TShpSprite* AddFrame();
  // Frees every frame with its canvas and bitmap.
  void Clear();
  // The frame's picture, still owned by the frame: its image after
  // BuildBitmaps, otherwise a 1 x 1 placeholder. Nil outside the frames.
  TDib* GetFrameBitmap(int32_t index);

  // Copies 1024 bytes of colour table; images change at the next BuildBitmaps.
  void SetPalette(const uint8_t* table);
  // Builds the image of every frame with pixels from its canvas and the
  // palette. A sprite of width or height 0 builds nothing.
  void BuildBitmaps();

 protected:
  void Destroy() override;

 private:
  // A size of kInvalidFileSize: the rest of the file from `offset`.
  void Load(const char* fileName, uint32_t offset, uint32_t size);
  // Makes the stream's frames, each with a canvas of its own in one block.
  void TakeFrames(TShpFrameStream& stream);
  uint8_t* AllocateCanvases(uint32_t count, uint32_t canvasSize);

  // Every decoded canvas of the sprite lies in this one block, in frame
  // order: one allocation, and pages the system hands out already zero.
  uint8_t* canvasBlock_ = nullptr;
  size_t canvasBlockSize_ = 0;
};
