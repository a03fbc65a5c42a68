#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TByteStream;

// An image read to be encoded as a frame.
enum class TInputKind : uint8_t {
  Indices,      // one colour index per pixel; the image's colour table is not kept
  Rgba,         // red, green, blue, alpha per pixel
  Placeholder,  // export's stand-in for a frame without pixels: a 1 x 1 BMP of 16 bits
};

struct TInputImage {
  uint32_t Width = 0;
  uint32_t Height = 0;
  TInputKind Kind = TInputKind::Indices;
  std::vector<uint8_t> Pixels;  // rows top first, no padding; empty for a placeholder
};

// Pixels of a decoded image beyond which it is refused rather than
// allocated (a header's size is a claim, not a promise).
constexpr uint64_t kMaxInputPixels = uint64_t{1} << 26;

// Reads a BMP or PNG image from the stream's position: indexed images (BMP of
// 1, 4 or 8 bits, PNG of 1 to 8 bits) as their indices, any other BMP or PNG
// form read as RGBA. False with `why` set when it is neither, is damaged or
// is of a form not read; `why` then says which.
bool ReadInputImage(TByteStream* stream, TInputImage& image, std::string& why);

// The same for a file.
bool ReadInputImageFile(const std::string& fileName, TInputImage& image, std::string& why);

// The BMP half, over bytes in memory (image_input_bmp.cpp).
bool ReadBmpImage(const uint8_t* data, size_t size, TInputImage& image, std::string& why);

// The PNG half, over bytes in memory (image_input_png.cpp).
bool ReadPngImage(const uint8_t* data, size_t size, TInputImage& image, std::string& why);
