// Images as an editor writes them: ImageMagick turns one picture into each
// BMP header form and depth and each PNG kind it writes, and the reader must
// see what ImageMagick itself decodes from them.
#include <gtest/gtest.h>

#include <map>

#include "formats/image_input.h"
#include "formats/image_magick.h"
#include "formats/image_magick_shell.h"
#include "toolkit/base/le_bytes.h"

namespace {

constexpr uint32_t kWidth = 7, kHeight = 3;

// A 7 x 3 picture cycling through `colours` distinct colours (at most 21),
// the first of them pure green, which the alpha variants make transparent.
TBytes Picture(uint32_t colours) {
  std::string head = "P6\n7 3\n255\n";
  TBytes ppm(head.begin(), head.end());
  for (uint32_t p = 0; p < kWidth * kHeight; ++p) {
    uint32_t i = p % colours;
    for (uint32_t level : {i * 12, 255 - i * 12, i * 37 & 0xFF})
      ppm.push_back(static_cast<uint8_t>(level));
  }
  return ppm;
}

// The form the file says it has: a BMP's info header size and bits per
// pixel, or a PNG's bit depth and colour type.
std::pair<uint32_t, uint32_t> FormOf(const TBytes& file) {
  if (file.size() < 30) return {0, 0};
  if (file[0] == 'B') {
    uint32_t headerSize = ReadLe32(file.data() + 14);
    return {headerSize, file[headerSize == 12 ? 24 : 28]};
  }
  return {file[24], file[25]};
}

// True when equal indices stand for equal decoded colours and different
// indices for different ones.
bool IndicesMatchColours(const TBytes& indices, const TBytes& rgba) {
  std::map<uint8_t, uint32_t> colourOf;
  std::map<uint32_t, uint8_t> indexOf;
  if (rgba.size() != 4 * indices.size()) return false;
  for (size_t p = 0; p < indices.size(); ++p) {
    uint32_t colour = ReadLe32(rgba.data() + 4 * p);
    auto [byIndex, newIndex] = colourOf.emplace(indices[p], colour);
    auto [byColour, newColour] = indexOf.emplace(colour, indices[p]);
    if (byIndex->second != colour || byColour->second != indices[p]) return false;
  }
  return true;
}

TEST(ImageMagickInput, ReadsWhatAnEditorWrites) {
  struct {
    const char* name;
    uint32_t colours;
    const char* command;  // ImageMagick's output form and options
    std::pair<uint32_t, uint32_t> form;
    TInputKind kind;
  } cases[] = {
      {"BMP 1-bit, 40-byte header", 2, "-type Palette BMP3:", {40, 1}, TInputKind::Indices},
      {"BMP 4-bit, core header", 5, "-type Palette BMP2:", {12, 4}, TInputKind::Indices},
      {"BMP 8-bit, 40-byte header",
       21,
       "-type Palette -compress None BMP3:",
       {40, 8},
       TInputKind::Indices},
      {"BMP 8-bit, 124-byte header",
       21,
       "-type Palette -compress None BMP:",
       {124, 8},
       TInputKind::Indices},
      {"BMP 8-bit, core header", 21, "-type Palette BMP2:", {12, 8}, TInputKind::Indices},
      {"BMP 24-bit, 40-byte header", 21, "-type TrueColor BMP3:", {40, 24}, TInputKind::Rgba},
      {"BMP 24-bit, core header", 21, "-type TrueColor BMP2:", {12, 24}, TInputKind::Rgba},
      {"BMP 24-bit grey, 108-byte header", 5, "-type Grayscale BMP:", {108, 24}, TInputKind::Rgba},
      {"BMP 32-bit bit fields and alpha",
       5,
       "-transparent 'rgb(0,255,0)' -type TrueColorAlpha BMP:",
       {124, 32},
       TInputKind::Rgba},
      {"PNG indexed 2-bit",
       2,
       "-define png:bit-depth=2 -define png:color-type=3 PNG:",
       {2, 3},
       TInputKind::Indices},
      {"PNG indexed 4-bit",
       5,
       "-define png:bit-depth=4 -define png:color-type=3 PNG:",
       {4, 3},
       TInputKind::Indices},
      {"PNG indexed 8-bit", 21, "PNG8:", {8, 3}, TInputKind::Indices},
      {"PNG RGB", 21, "PNG24:", {8, 2}, TInputKind::Rgba},
      {"PNG RGBA", 5, "-transparent 'rgb(0,255,0)' PNG32:", {8, 6}, TInputKind::Rgba},
      {"PNG RGB 16-bit", 21, "PNG48:", {16, 2}, TInputKind::Rgba},
      {"PNG RGBA 16-bit", 5, "-transparent 'rgb(0,255,0)' PNG64:", {16, 6}, TInputKind::Rgba},
      {"PNG grey", 21, "-type Grayscale -define png:bit-depth=8 PNG:", {8, 0}, TInputKind::Rgba},
      {"PNG grey 16-bit",
       5,
       "-type Grayscale -define png:bit-depth=16 PNG:",
       {16, 0},
       TInputKind::Rgba},
      {"PNG grey, a transparent level",
       5,
       "-transparent 'rgb(0,255,0)' -type GrayscaleAlpha PNG:",
       {8, 0},
       TInputKind::Rgba},
  };
  for (const auto& c : cases) {
    TTempDir dir;
    WriteFileBytes(dir.File("in.ppm"), Picture(c.colours));
    ASSERT_TRUE(RunShellIn(dir.Path().string(),
                           std::string("/usr/bin/convert in.ppm ") + c.command + "made"))
        << c.name;
    EXPECT_EQ(FormOf(ReadFileBytes(dir.File("made"))), c.form) << c.name;
    TInputImage image;
    std::string why;
    ASSERT_TRUE(ReadInputImageFile(dir.File("made"), image, why)) << c.name << ": " << why;
    TDecodedImage decoded = DecodeWithImageMagick(dir.Path().string(), "made");
    ASSERT_TRUE(decoded.Read) << c.name;
    EXPECT_EQ(image.Kind, c.kind) << c.name;
    EXPECT_EQ(image.Width, kWidth) << c.name;
    EXPECT_EQ(image.Height, kHeight) << c.name;
    if (c.kind == TInputKind::Indices) {
      EXPECT_TRUE(IndicesMatchColours(image.Pixels, decoded.Rgba)) << c.name;
    } else {
      EXPECT_EQ(image.Pixels, decoded.Rgba) << c.name;
    }
  }
}

}  // namespace
