#pragma once

#include <cstdint>

#include "toolkit/base/base_object.h"

class TByteStream;
struct TConvertedPicture;

// Picture forms.
constexpr uint8_t kDeviceIndependent = 0;
constexpr uint8_t kDeviceCompatible = 1;

// Format codes of BitFormat.
constexpr uint8_t kFormatDevice = 0;
constexpr uint8_t kFormat1Bit = 1;
constexpr uint8_t kFormat4Bit = 2;
constexpr uint8_t kFormat8Bit = 3;
constexpr uint8_t kFormat16Bit555 = 4;
constexpr uint8_t kFormat16Bit565 = 5;
constexpr uint8_t kFormat24Bit = 6;
constexpr uint8_t kFormat32Bit = 7;
constexpr uint8_t kFormatUnknown = 8;

// BITMAPINFOHEADER followed by room for 256 RGBQUAD colours.
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kColourTableRoom = 1024;
constexpr uint32_t kInfoBlockSize = kInfoHeaderSize + kColourTableRoom;

// The largest pixel block a picture may have (512 MiB): every frame image the
// program builds fits, and a stream's header cannot make a load claim more.
constexpr uint32_t kMaxPictureBytes = 512u << 20;

// One picture: either device-independent (info block and pixel rows in
// memory, optionally backed by a DIB section made on demand) or a
// device-compatible bitmap. Handles are kept as untyped pointers so that this
// header needs no platform header.
class TDib : public TBaseObject {
 public:
  int32_t Height = 0;
  int32_t Width = 0;
  void* BitmapHandle = nullptr;  // HBITMAP, or the stand-in of builds without GDI
  uint32_t RowStride = 0;
  uint8_t PictureForm = kDeviceIndependent;
  uint8_t* InfoBlock = nullptr;  // kInfoBlockSize bytes in the device-independent form
  uint8_t* Bits = nullptr;       // pixel rows in BMP order
  uint32_t BitsSize = 0;         // RowStride * Height
  uint8_t BitFormat = kFormatDevice;
  bool BitsInSection = false;  // Bits belong to the DIB section in BitmapHandle

  bool IsEmpty() const { return Width == 0 || Height == 0; }

  // Replaces the picture with the BMP at the stream's position. A stream that
  // is not a readable BMP leaves the picture empty and the stream where it was.
  void LoadBmpStream(TByteStream* stream);
  // Write the picture as a BMP file; true when every byte was written. A
  // failed write leaves the stream where it was.
  bool SaveBmpStream(TByteStream* stream);
  bool SaveBmpFile(const char* fileName);
  // Frees the picture; Width = Height = 0.
  void Clear();

  // Draws the picture unscaled with its top-left corner at (x, y).
  void DrawAt(void* deviceContext, int32_t x, int32_t y);
  // Places the picture on the clipboard as CF_DIB; true on success.
  bool PutOnClipboard();
  // Converts to the given form; only the device-independent form (0) is ever
  // asked for.
  void SetPictureForm(uint8_t form);
  // The bitmap handle, made as a DIB section from Bits when there is none.
  void* Handle();

 protected:
  void Destroy() override;

 private:
  // Replaces the picture by a converted one, which the picture then owns.
  void InstallConverted(const TConvertedPicture& picture);
  bool DrawThroughSection(const uint8_t* info, uint8_t* bits, uint32_t bitsSize);
};

// A picture of the given size in the device-compatible form (monochrome, as
// the memory device context it is made for).
TDib* MakeDib(int32_t width, int32_t height);

// Bytes per pixel row, each row filled up to a multiple of 4 bytes; 0 when
// the row would not fit 32 bits.
uint32_t DibRowStride(int32_t width, uint32_t bitCount);
uint8_t FormatOfBitCount(uint32_t bitCount);
