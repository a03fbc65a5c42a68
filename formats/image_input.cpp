#include "formats/image_input.h"

#include <cstring>

#include "toolkit/base/byte_stream.h"
#include "toolkit/base/dib.h"
#include "toolkit/base/dib_platform.h"
#include "toolkit/base/le_bytes.h"

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Larger inputs are refused before they are read into memory.
constexpr uint32_t kMaxPngFileSize = 1u << 30;

// Frees a picture however reading ends.
struct TDibHolder {
  TDib* Dib = new TDib();
  ~TDibHolder() { Free(Dib); }
};

// The picture's rows, top first, as the image's indices.
void CopyIndexRows(const TDib& dib, bool topDown, TInputImage& image) {
  const uint32_t width = image.Width, height = image.Height;
  image.Pixels.resize(uint64_t{width} * height);
  for (uint32_t y = 0; y < height; ++y) {
    uint32_t source = topDown ? y : height - 1 - y;
    std::memcpy(image.Pixels.data() + uint64_t{y} * width,
                dib.Bits + uint64_t{source} * dib.RowStride, width);
  }
}

bool ReadBmpImage(TByteStream* stream, TInputImage& image, std::string& why) {
  TDibHolder holder;
  TDib& dib = *holder.Dib;
  dib.LoadBmpStream(stream);
  if (dib.IsEmpty()) {
    why = "not a readable BMP image";
    return false;
  }
  image.Width = static_cast<uint32_t>(dib.Width);
  image.Height = static_cast<uint32_t>(dib.Height);
  if (dib.BitFormat != kFormat8Bit && image.Width == 1 && image.Height == 1) {
    image.Kind = TInputKind::Placeholder;
    return true;
  }
  uint32_t bitCount = ReadLe16(dib.InfoBlock + kBiBitCount);
  if (dib.BitFormat != kFormat8Bit || ReadLe32(dib.InfoBlock + kBiCompression) != kBiRgb) {
    why = "unsupported BMP image (" + std::to_string(bitCount) +
          "-bit or compressed); only uncompressed 8-bit BMP images can be encoded";
    return false;
  }
  image.Kind = TInputKind::Indices;
  CopyIndexRows(dib, static_cast<int32_t>(ReadLe32(dib.InfoBlock + kBiHeight)) < 0, image);
  return true;
}

}  // namespace

bool ReadInputImage(TByteStream* stream, TInputImage& image, std::string& why) {
  image = TInputImage();
  uint32_t start = stream->GetPosition();
  uint8_t signature[8] = {};
  uint32_t got = stream->Read(signature, sizeof signature);
  stream->Seek(static_cast<int32_t>(start), kFromStart);
  if (got >= 2 && signature[0] == 'B' && signature[1] == 'M') {
    return ReadBmpImage(stream, image, why);
  }
  if (got == sizeof signature && std::memcmp(signature, kPngSignature, sizeof signature) == 0) {
    uint32_t size = stream->GetSize();
    if (size == kInvalidFileSize || size < start || size - start > kMaxPngFileSize) {
      why = "too large a PNG file";
      return false;
    }
    std::vector<uint8_t> bytes(size - start);
    if (stream->Read(bytes.data(), static_cast<uint32_t>(bytes.size())) != bytes.size()) {
      why = "cannot read the file";
      return false;
    }
    return ReadPngImage(bytes.data(), bytes.size(), image, why);
  }
  why = "not a BMP or PNG image";
  return false;
}

bool ReadInputImageFile(const std::string& fileName, TInputImage& image, std::string& why) {
  TByteStream* file = MakeFileReader(fileName.c_str());
  bool read = false;
  if (file->FileHandle == kInvalidFileHandle) {
    why = "cannot open the file";
  } else {
    read = ReadInputImage(file, image, why);
  }
  Free(file);
  return read;
}
