// BMP images made field by field: the header sizes, depths and bit-field
// forms ImageMagick does not write, and each fault with the line that names
// it.
#include <gtest/gtest.h>

#include "formats/image_input.h"
#include "support/bmp_image.h"

namespace {

constexpr uint32_t kBitFields = 3;

TInputImage ReadBmp(const TBytes& bytes, bool& read, std::string& why) {
  TInputImage image;
  read = ReadBmpImage(bytes.data(), bytes.size(), image, why);
  return image;
}

// A 3 x 2 image of 4-bit indices 1 2 3 / 4 5 15 under a header of `size`.
TBmpForm Nibbles(uint32_t size) {
  return {.HeaderSize = size,
          .Width = 3,
          .Height = 2,
          .BitCount = 4,
          .TableEntries = 16,
          .Rows = {{0x12, 0x30}, {0x45, 0xF0}}};
}

TBmpForm Rgb32(uint32_t size, std::vector<uint32_t> masks, std::vector<TBytes> rows) {
  return {.HeaderSize = size,
          .Width = 1,
          .Height = static_cast<int32_t>(rows.size()),
          .BitCount = 32,
          .Compression = masks.empty() ? 0 : kBitFields,
          .Masks = masks,
          .Rows = rows};
}

TEST(BmpInput, ReadsEveryHeaderDepthAndMaskForm) {
  const TBytes nibbles = {1, 2, 3, 4, 5, 15};
  struct {
    const char* name;
    TBmpForm form;
    TInputKind kind;
    TBytes pixels;
  } cases[] = {
      {"core header, 3-byte table",
       {.HeaderSize = 12,
        .Width = 3,
        .Height = 2,
        .TableEntries = 256,
        .Rows = {{7, 8, 9}, {10, 11, 255}}},
       TInputKind::Indices,
       {7, 8, 9, 10, 11, 255}},
      {"52-byte header", Nibbles(52), TInputKind::Indices, nibbles},
      {"1 bit, a row over a byte",
       {.Width = 9, .Height = 1, .BitCount = 1, .TableEntries = 2, .Rows = {{0xA5, 0x80}}},
       TInputKind::Indices,
       {1, 0, 1, 0, 0, 1, 0, 1, 1}},
      {"table of biClrUsed entries",
       {.Width = 2, .BitCount = 4, .ColoursUsed = 3, .TableEntries = 3, .Rows = {{0x21}}},
       TInputKind::Indices,
       {2, 1}},
      {"gap before the pixels",
       {.Width = 2, .Height = 2, .TableEntries = 256, .Gap = 6, .Rows = {{1, 2}, {3, 4}}},
       TInputKind::Indices,
       {1, 2, 3, 4}},
      {"top-down",
       {.Width = 2, .Height = -2, .TableEntries = 256, .Rows = {{1, 2}, {3, 4}}},
       TInputKind::Indices,
       {1, 2, 3, 4}},
      {"24 bits, rows padded",
       {.Width = 2, .Height = 2, .BitCount = 24, .Rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 0, 0, 0}}},
       TInputKind::Rgba,
       {3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 255, 0, 0, 0, 255}},
      {"32 bits plain, fourth byte ignored",
       Rgb32(40, {}, {{1, 2, 3, 0}}),
       TInputKind::Rgba,
       {3, 2, 1, 255}},
      {"32-bit masks after a 40-byte header",
       Rgb32(40, {0xFF, 0xFF00, 0xFF0000}, {{1, 2, 3, 4}}),
       TInputKind::Rgba,
       {1, 2, 3, 255}},
      {"32-bit alpha mask in a 56-byte header",
       Rgb32(56, {0xFF00, 0xFF0000, 0xFF000000, 0xFF}, {{0, 1, 2, 3}, {9, 1, 2, 3}}),
       TInputKind::Rgba,
       {1, 2, 3, 0, 1, 2, 3, 9}},
      {"10-bit and 5-bit masks, 124-byte header",
       Rgb32(124, {0x3FF00000, 0xFFC00, 0x1F, 0}, {{0x1F, 0xFC, 0x0F, 0x20}}),
       TInputKind::Rgba,
       {0x80, 0xFF, 0xFF, 255}},
      {"export's placeholder",
       {.Width = 1,
        .Height = 1,
        .BitCount = 16,
        .Compression = kBitFields,
        .Masks = {0xF800, 0x07E0, 0x1F},
        .Rows = {{0, 0}}},
       TInputKind::Placeholder,
       {}},
  };
  for (const auto& c : cases) {
    bool read = false;
    std::string why;
    TInputImage image = ReadBmp(BmpFile(c.form), read, why);
    ASSERT_TRUE(read) << c.name << ": " << why;
    EXPECT_EQ(image.Kind, c.kind) << c.name;
    EXPECT_EQ(image.Width, static_cast<uint32_t>(c.form.Width)) << c.name;
    EXPECT_EQ(image.Height, static_cast<uint32_t>(std::abs(c.form.Height))) << c.name;
    EXPECT_EQ(image.Pixels, c.pixels) << c.name;
  }
}

TEST(BmpInput, RefusesEachFaultSayingWhich) {
  const TBmpForm eight = {.Width = 4, .Height = 2, .TableEntries = 256, .Rows = {{1}, {2}}};
  auto with = [&eight](auto change) {
    TBmpForm form = eight;
    change(form);
    return BmpFile(form);
  };
  TBytes whole = BmpFile(eight);
  struct {
    const char* name;
    TBytes file;
    const char* line;
  } cases[] = {
      {"planes 2 at 4 bits", with([](TBmpForm& f) { f.Planes = 2, f.BitCount = 4; }),
       "a BMP image with biPlanes 2; it must be 1"},
      {"planes 0", with([](TBmpForm& f) { f.Planes = 0; }),
       "a BMP image with biPlanes 0; it must be 1"},
      {"RLE8", with([](TBmpForm& f) { f.Compression = 1; }),
       "unsupported BMP image: compressed with RLE8; only uncompressed BMP images can be encoded"},
      {"RLE4", with([](TBmpForm& f) { f.Compression = 2, f.BitCount = 4; }),
       "unsupported BMP image: compressed with RLE4; only uncompressed BMP images can be encoded"},
      {"bit fields at 24 bits", with([](TBmpForm& f) { f.Compression = 3, f.BitCount = 24; }),
       "unsupported BMP image: compression 3 with 24 bits per pixel"},
      {"16 bits, 4 x 1",
       with([](TBmpForm& f) { f.BitCount = 16, f.Height = 1, f.Rows = {TBytes(8, 0)}; }),
       "unsupported BMP image: 16 bits per pixel (1, 4, 8, 24 and 32 are read)"},
      {"16 bits, 1 x 2", with([](TBmpForm& f) { f.BitCount = 16, f.Width = 1; }),
       "unsupported BMP image: 16 bits per pixel (1, 4, 8, 24 and 32 are read)"},
      {"a 64-byte header", with([](TBmpForm& f) { f.HeaderSize = 64; }),
       "unsupported BMP image: an info header of 64 bytes (12, 40, 52, 56, 108 and 124 are read)"},
      {"bfOffBits 0, rows missing", with([](TBmpForm& f) { f.OffBits = 0, f.Rows.clear(); }),
       "a BMP image whose pixel offset (bfOffBits) is 0"},
      {"bfOffBits in the colour table", with([](TBmpForm& f) { f.OffBits = 1077; }),
       "a BMP image whose pixels would start at byte 1077, inside its headers and colour table "
       "(1078 bytes)"},
      {"bfOffBits past the end", with([](TBmpForm& f) { f.OffBits = 5000; }),
       "a BMP image cut short: 2 of its 2 rows are missing"},
      {"a byte of a row missing", TBytes(whole.begin(), whole.end() - 1),
       "a BMP image cut short: 1 of its 2 rows are missing"},
      {"more colours than 4 bits index",
       with([](TBmpForm& f) { f.BitCount = 4, f.ColoursUsed = 17; }),
       "a BMP colour table of 17 entries, more than 16 at 4 bits per pixel"},
      {"a mask of two runs", with([](TBmpForm& f) {
         f.BitCount = 32, f.Compression = 3, f.Masks = {0xF0F, 0xF0, 0};
       }),
       "unsupported BMP image: a bit-field mask (3855) that is not one run of bits"},
      {"no blue mask", with([](TBmpForm& f) {
         f.BitCount = 32, f.Compression = 3, f.Masks = {0xFF, 0xFF00, 0};
       }),
       "unsupported BMP image: a bit-field mask (0) that is not one run of bits"},
      {"info header cut short", TBytes(whole.begin(), whole.begin() + 30),
       "a BMP image cut short in its headers"},
      {"zero width", with([](TBmpForm& f) { f.Width = 0; }), "a BMP image without pixels (0 x 2)"},
      {"over the pixel limit", with([](TBmpForm& f) { f.Width = 8193, f.Height = -8192; }),
       "too large a BMP image: 8193 x 8192 pixels, more than the 67108864 an image to encode "
       "may have"},
      {"header cut short", TBytes(whole.begin(), whole.begin() + 16),
       "a BMP image cut short in its headers"},
  };
  for (const auto& c : cases) {
    bool read = true;
    std::string why;
    ReadBmp(c.file, read, why);
    EXPECT_FALSE(read) << c.name;
    EXPECT_EQ(why, c.line) << c.name;
  }
  bool read = true;
  std::string why;
  TBmpForm masksMissing = {.BitCount = 32, .Compression = kBitFields};
  ReadBmp(BmpFile(masksMissing), read, why);
  EXPECT_EQ(why, "a BMP image cut short in its bit-field masks");
}

}  // namespace
