// Reading the images frames are encoded from: the BMP and PNG forms through
// the stream, export's placeholder, and the refusals outside either format.
#include <gtest/gtest.h>

#include "formats/image_input.h"
#include "support/bmp_image.h"
#include "support/png_image.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/le_bytes.h"

namespace {

TBytes TopDown(TBytes bmp, uint16_t width, const std::vector<TBytes>& topRows) {
  WriteLe32(bmp.data() + 22, static_cast<uint32_t>(-static_cast<int32_t>(topRows.size())));
  size_t stride = (width + 3u) & ~3u;
  for (size_t r = 0; r < topRows.size(); ++r)
    std::copy(topRows[r].begin(), topRows[r].end(), bmp.begin() + 1078 + r * stride);
  return bmp;
}

// A BMP of `bitCount` bits per pixel with `compression`, rows of zeros.
TBytes PlainBmp(uint32_t width, uint32_t height, uint16_t bitCount, uint32_t compression = 0) {
  uint32_t stride = (width * bitCount + 31) / 32 * 4;
  uint32_t table = bitCount <= 8 ? 4u << bitCount : compression == 3 ? 12 : 0;
  TBytes bmp = {'B', 'M'};
  PutLe32(bmp, 54 + table + stride * height);
  PutLe32(bmp, 0);
  PutLe32(bmp, 54 + table);
  for (uint32_t field : {40u, width, height})
    PutLe32(bmp, field);
  PutLe16(bmp, 1);
  PutLe16(bmp, bitCount);
  for (uint32_t field : {compression, stride * height, 0u, 0u, 0u, 0u})
    PutLe32(bmp, field);
  bmp.resize(bmp.size() + table + stride * height, 0);
  return bmp;
}

TInputImage Read(const TBytes& bytes, bool& read, std::string& why) {
  TByteStream* stream = MakeMemoryStream();
  stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->Seek(0, kFromStart);
  TInputImage image;
  read = ReadInputImage(stream, image, why);
  Free(stream);
  return image;
}

TEST(ImageInput, ReadsAcceptedImagesTopRowFirst) {
  const std::vector<TBytes> rows = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 250}};
  const TBytes bottomUp = FrameImage(5, 2, TestPalette(), rows);
  struct {
    const char* name;
    TBytes file;
    TInputKind kind;
    uint32_t width, height;
    TBytes pixels;
  } cases[] = {
      {"BMP bottom-up", bottomUp, TInputKind::Indices, 5, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 250}},
      {"BMP top-down",
       TopDown(bottomUp, 5, rows),
       TInputKind::Indices,
       5,
       2,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 250}},
      {"BMP 16-bit 1 x 1", PlainBmp(1, 1, 16), TInputKind::Placeholder, 1, 1, {}},
      {"BMP 8-bit 1 x 1", FrameImage(1, 1, TestPalette(), {{0}}), TInputKind::Indices, 1, 1, {0}},
      {"PNG indexed",
       PngImage(3, 2, 3, 8, {4, 0, 200, 1, 2, 9}),
       TInputKind::Indices,
       3,
       2,
       {4, 0, 200, 1, 2, 9}},
      {"PNG indexed 4-bit",
       PngImage(3, 2, 3, 4, {0x1F, 0x20, 0xA0, 0x30}, 16),
       TInputKind::Indices,
       3,
       2,
       {1, 15, 2, 10, 0, 3}},
      {"PNG RGB with a transparent colour",
       PngImage(2, 1, 2, 8, {9, 8, 7, 1, 2, 3}, 0, TRgb16{1, 2, 3}),
       TInputKind::Rgba,
       2,
       1,
       {9, 8, 7, 255, 1, 2, 3, 0}},
      {"PNG RGBA",
       PngImage(1, 2, 6, 8, {9, 8, 7, 0, 1, 2, 3, 128}),
       TInputKind::Rgba,
       1,
       2,
       {9, 8, 7, 0, 1, 2, 3, 128}},
      {"PNG 16-bit 1 x 1, no placeholder",
       // 16-bit samples are given in host order (little-endian here).
       PngImage(1, 1, 2, 16, {0x34, 0x12, 0xCD, 0xAB, 0xFF, 0xFF}),
       TInputKind::Rgba,
       1,
       1,
       {0x12, 0xAB, 0xFF, 255}},
      {"PNG indexed 1-bit 1 x 1", PngImage(1, 1, 3, 1, {0x80}, 2), TInputKind::Indices, 1, 1, {1}},
      {"PNG grey with a transparent level",
       PngImage(2, 1, 0, 8, {7, 200}, 0, TRgb16{200, 0, 0}),
       TInputKind::Rgba,
       2,
       1,
       {7, 7, 7, 255, 200, 200, 200, 0}},
      {"PNG grey and alpha 16-bit",
       PngImage(1, 1, 4, 16, {0x00, 0x80, 0x01, 0x00}),
       TInputKind::Rgba,
       1,
       1,
       {0x80, 0x80, 0x80, 0}},
  };
  for (auto& c : cases) {
    bool read = false;
    std::string why;
    TInputImage image = Read(c.file, read, why);
    ASSERT_TRUE(read) << c.name << ": " << why;
    EXPECT_EQ(image.Kind, c.kind) << c.name;
    EXPECT_EQ(image.Width, c.width) << c.name;
    EXPECT_EQ(image.Height, c.height) << c.name;
    EXPECT_EQ(image.Pixels, c.pixels) << c.name;
  }
}

TEST(ImageInput, RefusesOtherImagesWithAReason) {
  TBytes png = PngImage(4, 4, 3, 8, TBytes(16, 1));
  struct {
    const char* name;
    TBytes file;
    const char* reason;
  } cases[] = {
      {"text", {'h', 'e', 'l', 'l', 'o'}, "not a BMP or PNG image"},
      {"empty", {}, "not a BMP or PNG image"},
      {"PNG cut short", TBytes(png.begin(), png.end() - 20), "cannot read the PNG image"},
      {"PNG over the pixel limit", PngImage(8193, 8193, 3, 1, TBytes(1025 * 8193, 0), 2),
       "too large a PNG image: 8193 x 8193 pixels, more than the 67108864"},
      {"PNG signature only", TBytes(png.begin(), png.begin() + 8), "not a readable PNG image"},
  };
  for (const auto& c : cases) {
    bool read = true;
    std::string why;
    Read(c.file, read, why);
    EXPECT_FALSE(read) << c.name;
    EXPECT_EQ(why.rfind(c.reason, 0), 0u) << c.name << ": " << why;
  }
}

}  // namespace
