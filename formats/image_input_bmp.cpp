// BMP images as editors write them: OS/2 core and Windows info headers of
// every common size, 1, 4 and 8 bits per pixel as indices, 24 and 32 bits
// (plain or with bit-field masks) as RGBA. Every count and offset in the file
// is checked against its size before it is used.
#include <string>

#include "formats/image_input.h"
#include "toolkit/base/le_bytes.h"

namespace {

constexpr uint64_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitFields = 3;

// The fields of either header form, widened so that no sign or size is lost.
struct TBmpHeader {
  uint32_t HeaderSize = 0;
  int64_t Width = 0;
  int64_t Height = 0;  // negative: rows stored top first
  uint32_t Planes = 0;
  uint32_t BitCount = 0;
  uint32_t Compression = kBiRgb;
  uint32_t ColoursUsed = 0;
  uint32_t Masks[4] = {};  // red, green, blue, alpha
  uint64_t TableStart = 0;
  uint32_t TableEntryBytes = 4;
};

// One colour channel of a bit-field pixel: where its bits lie and how many.
struct TChannel {
  uint32_t Mask = 0;
  uint32_t Shift = 0;
  uint32_t Bits = 0;
};

bool Fail(std::string& why, const std::string& text) {
  why = text;
  return false;
}

bool IsKnownHeaderSize(uint32_t size) {
  for (uint32_t known : {kCoreHeaderBytes, kInfoHeaderBytes, 52u, 56u, 108u, 124u})
    if (size == known) return true;
  return false;
}

// The headers and, for bit fields, their masks. The masks follow a 40-byte
// header; longer headers hold them (the alpha mask from 56 bytes on).
bool ReadHeader(const uint8_t* data, size_t size, TBmpHeader& header, std::string& why) {
  if (size < kFileHeaderBytes + 4) return Fail(why, "a BMP image cut short in its headers");
  const uint8_t* info = data + kFileHeaderBytes;
  header.HeaderSize = ReadLe32(info);
  if (!IsKnownHeaderSize(header.HeaderSize)) {
    return Fail(why, "unsupported BMP image: an info header of " +
                         std::to_string(header.HeaderSize) +
                         " bytes (12, 40, 52, 56, 108 and 124 are read)");
  }
  header.TableStart = kFileHeaderBytes + header.HeaderSize;
  if (header.TableStart > size) return Fail(why, "a BMP image cut short in its headers");
  if (header.HeaderSize == kCoreHeaderBytes) {
    header.Width = ReadLe16(info + 4);
    header.Height = ReadLe16(info + 6);
    header.Planes = ReadLe16(info + 8);
    header.BitCount = ReadLe16(info + 10);
    header.TableEntryBytes = 3;
    return true;
  }
  header.Width = static_cast<int32_t>(ReadLe32(info + 4));
  header.Height = static_cast<int32_t>(ReadLe32(info + 8));
  header.Planes = ReadLe16(info + 12);
  header.BitCount = ReadLe16(info + 14);
  header.Compression = ReadLe32(info + 16);
  header.ColoursUsed = ReadLe32(info + 32);
  if (header.Compression != kBiBitFields) return true;
  const uint8_t* masks = info + kInfoHeaderBytes;
  if (header.HeaderSize == kInfoHeaderBytes) {
    header.TableStart += 12;
    if (header.TableStart > size) return Fail(why, "a BMP image cut short in its bit-field masks");
  }
  for (int i = 0; i < 3; ++i)
    header.Masks[i] = ReadLe32(masks + 4 * i);
  if (header.HeaderSize >= 56) header.Masks[3] = ReadLe32(masks + 12);
  return true;
}

// Refuses what the reader does not take, saying which field is at fault.
bool CheckForm(const TBmpHeader& header, std::string& why) {
  if (header.Planes != 1) {
    return Fail(why,
                "a BMP image with biPlanes " + std::to_string(header.Planes) + "; it must be 1");
  }
  if (header.Compression == kBiRle8 || header.Compression == kBiRle4) {
    return Fail(why, std::string("unsupported BMP image: compressed with ") +
                         (header.Compression == kBiRle8 ? "RLE8" : "RLE4") +
                         "; only uncompressed BMP images can be encoded");
  }
  const uint32_t bits = header.BitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
    return Fail(why, "unsupported BMP image: " + std::to_string(bits) +
                         " bits per pixel (1, 4, 8, 24 and 32 are read)");
  }
  bool bitFields = header.Compression == kBiBitFields && bits == 32;
  if (header.Compression != kBiRgb && !bitFields) {
    return Fail(why, "unsupported BMP image: compression " + std::to_string(header.Compression) +
                         " with " + std::to_string(bits) + " bits per pixel");
  }
  if (header.Width <= 0 || header.Height == 0) {
    return Fail(why, "a BMP image without pixels (" + std::to_string(header.Width) + " x " +
                         std::to_string(header.Height) + ")");
  }
  uint64_t height = header.Height < 0 ? -header.Height : header.Height;
  if (uint64_t(header.Width) * height > kMaxInputPixels) {
    return Fail(why, "too large a BMP image: " + std::to_string(header.Width) + " x " +
                         std::to_string(height) + " pixels, more than the " +
                         std::to_string(kMaxInputPixels) + " an image to encode may have");
  }
  return true;
}

// A mask must be one run of set bits; answers where it lies.
bool ChannelOf(uint32_t mask, TChannel& channel) {
  channel = TChannel{mask, 0, 0};
  if (mask == 0) return true;
  while (!(mask >> channel.Shift & 1))
    ++channel.Shift;
  uint32_t run = mask >> channel.Shift;
  while (channel.Bits < 32 && (run >> channel.Bits & 1))
    ++channel.Bits;
  return channel.Bits == 32 || (run >> channel.Bits) == 0;
}

uint8_t Level(uint32_t pixel, const TChannel& channel) {
  uint32_t value = (pixel & channel.Mask) >> channel.Shift;
  if (channel.Bits >= 8) return static_cast<uint8_t>(value >> (channel.Bits - 8));
  return static_cast<uint8_t>(value * 255 / ((1u << channel.Bits) - 1));
}

// Copies the rows into the image, top row first: indices, or red, green,
// blue and alpha.
void CopyRows(const TBmpHeader& header, const TChannel* channels, const uint8_t* pixels,
              uint64_t stride, TInputImage& image) {
  const uint32_t width = image.Width, height = image.Height, bits = header.BitCount;
  const bool indexed = bits <= 8;
  image.Pixels.resize(uint64_t{width} * height * (indexed ? 1 : 4));
  uint8_t* out = image.Pixels.data();
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + (header.Height < 0 ? y : height - 1 - y) * stride;
    for (uint32_t x = 0; x < width; ++x) {
      if (indexed) {
        uint32_t bit = x * bits;
        *out++ = static_cast<uint8_t>(row[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1));
      } else if (bits == 24) {
        const uint8_t* p = row + 3 * x;
        *out++ = p[2], *out++ = p[1], *out++ = p[0], *out++ = 255;
      } else {
        uint32_t pixel = ReadLe32(row + 4 * x);
        for (int c = 0; c < 3; ++c)
          *out++ = Level(pixel, channels[c]);
        *out++ = channels[3].Mask ? Level(pixel, channels[3]) : 255;
      }
    }
  }
}

// The placeholder export writes for a frame without pixels: 1 x 1 and 16
// bits per pixel, a depth no other image to encode has.
bool IsPlaceholder(const TBmpHeader& header) {
  return header.Width == 1 && (header.Height == 1 || header.Height == -1) && header.Planes == 1 &&
         header.BitCount == 16 &&
         (header.Compression == kBiRgb || header.Compression == kBiBitFields);
}

// The channels of a 32-bit pixel: its masks, or blue, green, red bytes.
bool ReadChannels(const TBmpHeader& header, TChannel* channels, std::string& why) {
  if (header.Compression != kBiBitFields) {
    const uint32_t plain[4] = {0xFF0000, 0xFF00, 0xFF, 0};
    for (int c = 0; c < 4; ++c)
      ChannelOf(plain[c], channels[c]);
    return true;
  }
  for (int c = 0; c < 4; ++c) {
    bool oneRun = ChannelOf(header.Masks[c], channels[c]);
    if (!oneRun || (c < 3 && header.Masks[c] == 0)) {
      return Fail(why, "unsupported BMP image: a bit-field mask (" +
                           std::to_string(header.Masks[c]) + ") that is not one run of bits");
    }
  }
  return true;
}

}  // namespace

bool ReadBmpImage(const uint8_t* data, size_t size, TInputImage& image, std::string& why) {
  image = TInputImage();
  TBmpHeader header;
  if (!ReadHeader(data, size, header, why)) return false;
  const uint64_t offBits = ReadLe32(data + 10);
  const uint64_t height = header.Height < 0 ? -header.Height : header.Height;
  const uint64_t stride = (uint64_t(header.Width) * header.BitCount + 31) / 32 * 4;
  if (IsPlaceholder(header) && offBits >= header.TableStart && offBits + stride <= size) {
    image.Width = image.Height = 1;
    image.Kind = TInputKind::Placeholder;
    return true;
  }
  if (!CheckForm(header, why)) return false;
  const uint32_t bits = header.BitCount;
  TChannel channels[4];
  if (bits == 32 && !ReadChannels(header, channels, why)) return false;
  const uint64_t tableCapacity = bits <= 8 ? uint64_t{1} << bits : 256;
  uint64_t entries = header.ColoursUsed ? header.ColoursUsed : bits <= 8 ? tableCapacity : 0;
  if (entries > tableCapacity) {
    return Fail(why, "a BMP colour table of " + std::to_string(entries) + " entries, more than " +
                         std::to_string(tableCapacity) + " at " + std::to_string(bits) +
                         " bits per pixel");
  }
  const uint64_t tableEnd = header.TableStart + entries * header.TableEntryBytes;
  if (offBits == 0) return Fail(why, "a BMP image whose pixel offset (bfOffBits) is 0");
  if (offBits < tableEnd) {
    return Fail(why, "a BMP image whose pixels would start at byte " + std::to_string(offBits) +
                         ", inside its headers and colour table (" + std::to_string(tableEnd) +
                         " bytes)");
  }
  const uint64_t rowsThere = offBits >= size ? 0 : (size - offBits) / stride;
  if (rowsThere < height) {
    return Fail(why, "a BMP image cut short: " + std::to_string(height - rowsThere) + " of its " +
                         std::to_string(height) + " rows are missing");
  }
  image.Width = static_cast<uint32_t>(header.Width);
  image.Height = static_cast<uint32_t>(height);
  image.Kind = bits <= 8 ? TInputKind::Indices : TInputKind::Rgba;
  CopyRows(header, channels, data + offBits, stride, image);
  return true;
}
