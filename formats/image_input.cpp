#include "formats/image_input.h"

#include <cstring>

#include "toolkit/base/byte_stream.h"

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Larger inputs are refused before they are read into memory.
constexpr uint32_t kMaxImageFileSize = 1u << 30;

}  // namespace

bool ReadInputImage(TByteStream* stream, TInputImage& image, std::string& why) {
  image = TInputImage();
  uint32_t start = stream->GetPosition();
  uint8_t signature[8] = {};
  uint32_t got = stream->Read(signature, sizeof signature);
  stream->Seek(static_cast<int32_t>(start), kFromStart);
  bool bmp = got >= 2 && signature[0] == 'B' && signature[1] == 'M';
  bool png = got == sizeof signature && std::memcmp(signature, kPngSignature, got) == 0;
  if (!bmp && !png) {
    why = "not a BMP or PNG image";
    return false;
  }
  uint32_t size = stream->GetSize();
  if (size == kInvalidFileSize || size < start) {
    why = "cannot read the file";
    return false;
  }
  if (size - start > kMaxImageFileSize) {
    why = "too large an image file: more than 1 GiB";
    return false;
  }
  std::vector<uint8_t> bytes(size - start);
  if (stream->Read(bytes.data(), static_cast<uint32_t>(bytes.size())) != bytes.size()) {
    why = "cannot read the file";
    return false;
  }
  return bmp ? ReadBmpImage(bytes.data(), bytes.size(), image, why)
             : ReadPngImage(bytes.data(), bytes.size(), image, why);
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
