#pragma once

#include <cstdint>

// What TDib shares between its portable half (dib.cpp) and its platform
// halves (dib_win32.cpp, dib_posix.cpp).

class TDib;

// BITMAPINFOHEADER field offsets inside the info block.
constexpr uint32_t kBiWidth = 4;
constexpr uint32_t kBiHeight = 8;
constexpr uint32_t kBiPlanes = 12;
constexpr uint32_t kBiBitCount = 14;
constexpr uint32_t kBiCompression = 16;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Bits per pixel of a format code.
uint32_t BitCountOfFormat(uint8_t format);
// A new zero-filled info block for a picture of the given size and format;
// 5-6-5 gets its bit-field masks right after the header.
uint8_t* NewInfoBlockFor(int32_t width, int32_t height, uint8_t format);
// Bytes of the info block that a BMP file or the clipboard carries: the
// header, the colour table of palette formats, or the three masks.
uint32_t InfoBytesInUse(const uint8_t* infoBlock);
// The device-independent picture a device-compatible one converts to: the
// device's own format becomes 5-6-5; the rows start zeroed for the platform
// half to fill.
struct TConvertedPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  uint8_t Format = 0;
  uint32_t RowStride = 0;
  uint32_t BitsSize = 0;
  uint8_t* InfoBlock = nullptr;
  uint8_t* Bits = nullptr;
};
TConvertedPicture PlanConversion(const TDib& dib);
void FreeConversion(TConvertedPicture& picture);

// Releases the platform's bitmap handle (and a section's pixels with it).
void DeletePictureHandle(void* handle);
