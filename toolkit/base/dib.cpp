#include "toolkit/base/dib.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "toolkit/base/byte_stream.h"
#include "toolkit/base/dib_platform.h"
#include "toolkit/base/le_bytes.h"

namespace {

uint8_t* ZeroedBlock(uint32_t size) {
  void* block = std::calloc(size == 0 ? 1 : size, 1);
  if (!block) throw std::bad_alloc();
  return static_cast<uint8_t*>(block);
}

// The parts of a BMP stream's headers that loading needs, already checked.
struct TBmpLayout {
  int32_t Width = 0;
  int32_t Height = 0;
  uint32_t RowStride = 0;
  uint32_t BitsSize = 0;
  uint32_t ColourTableSize = 0;
  uint8_t Format = kFormatDevice;
};

// Checks the info header against what InfoBlock and Bits can hold. bfOffBits
// (0 without a file header) decides the colour table size when present.
bool PlanBmpLayout(const uint8_t* info, uint32_t offBits, TBmpLayout& layout) {
  int32_t width = static_cast<int32_t>(ReadLe32(info + kBiWidth));
  int32_t height = static_cast<int32_t>(ReadLe32(info + kBiHeight));
  uint32_t bitCount = ReadLe16(info + kBiBitCount);
  uint32_t planes = ReadLe16(info + kBiPlanes);
  if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min()) return false;

  layout.Width = width;
  layout.Height = height < 0 ? -height : height;
  layout.Format = FormatOfBitCount(bitCount * planes);
  if (layout.Format == kFormat16Bit555 && ReadLe32(info + kBiCompression) != kBiRgb) {
    layout.Format = kFormat16Bit565;
  }
  layout.RowStride = DibRowStride(width, bitCount);
  uint64_t bitsSize = uint64_t{layout.RowStride} * uint32_t(layout.Height);
  if (layout.RowStride == 0 || bitsSize > kMaxPictureBytes) return false;
  layout.BitsSize = static_cast<uint32_t>(bitsSize);

  int64_t table = 0;
  if (bitCount <= 8) {
    table = int64_t{4} << bitCount;
  } else if (layout.Format == kFormat16Bit565) {
    table = 12;
  }
  // The table is whatever lies between the headers and the pixels.
  if (offBits > 0) table = int64_t{offBits} - kFileHeaderSize - kInfoHeaderSize;
  if (table < 0 || table > kColourTableRoom) return false;
  layout.ColourTableSize = static_cast<uint32_t>(table);
  return true;
}

uint32_t BytesLeft(TByteStream* stream) {
  uint32_t size = stream->GetSize();
  uint32_t position = stream->GetPosition();
  if (size == kInvalidFileSize || position == kInvalidSetFilePointer || position > size) return 0;
  return size - position;
}

}  // namespace

uint32_t DibRowStride(int32_t width, uint32_t bitCount) {
  if (width < 0) return 0;
  uint64_t bits = uint64_t(uint32_t(width)) * bitCount + 31;
  uint64_t stride = (bits / 8) & ~uint64_t{3};
  return stride > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(stride);
}

uint8_t FormatOfBitCount(uint32_t bitCount) {
  switch (bitCount) {
    case 1:
      return kFormat1Bit;
    case 4:
      return kFormat4Bit;
    case 8:
      return kFormat8Bit;
    case 16:
      return kFormat16Bit555;
    case 24:
      return kFormat24Bit;
    case 32:
      return kFormat32Bit;
    default:
      return kFormatUnknown;
  }
}

uint32_t BitCountOfFormat(uint8_t format) {
  static const uint32_t kBitCounts[] = {0, 1, 4, 8, 16, 16, 24, 32};
  return format < 8 ? kBitCounts[format] : 8;
}

uint8_t* NewInfoBlockFor(int32_t width, int32_t height, uint8_t format) {
  uint8_t* info = ZeroedBlock(kInfoBlockSize);
  WriteLe32(info, kInfoHeaderSize);
  WriteLe32(info + kBiWidth, static_cast<uint32_t>(width));
  WriteLe32(info + kBiHeight, static_cast<uint32_t>(height));
  WriteLe16(info + kBiPlanes, 1);
  WriteLe16(info + kBiBitCount, static_cast<uint16_t>(BitCountOfFormat(format)));
  if (format == kFormat16Bit565) {
    WriteLe32(info + kBiCompression, kBiBitfields);
    WriteLe32(info + kInfoHeaderSize, 0xF800);
    WriteLe32(info + kInfoHeaderSize + 4, 0x07E0);
    WriteLe32(info + kInfoHeaderSize + 8, 0x001F);
  }
  return info;
}

TConvertedPicture PlanConversion(const TDib& dib) {
  TConvertedPicture picture;
  picture.Width = dib.Width;
  picture.Height = dib.Height;
  picture.Format = dib.BitFormat == kFormatDevice ? kFormat16Bit565 : dib.BitFormat;
  picture.RowStride = DibRowStride(dib.Width, BitCountOfFormat(picture.Format));
  picture.BitsSize = picture.RowStride * static_cast<uint32_t>(dib.Height);
  picture.InfoBlock = NewInfoBlockFor(dib.Width, dib.Height, picture.Format);
  picture.Bits = ZeroedBlock(picture.BitsSize);
  return picture;
}

void FreeConversion(TConvertedPicture& picture) {
  std::free(picture.InfoBlock);
  std::free(picture.Bits);
  picture = TConvertedPicture();
}

void TDib::InstallConverted(const TConvertedPicture& picture) {
  Clear();  // frees the old picture and its handle
  Width = picture.Width;
  Height = picture.Height;
  InfoBlock = picture.InfoBlock;
  Bits = picture.Bits;
  RowStride = picture.RowStride;
  BitsSize = picture.BitsSize;
  BitFormat = picture.Format;
  PictureForm = kDeviceIndependent;
}

uint32_t InfoBytesInUse(const uint8_t* infoBlock) {
  uint32_t bitCount = ReadLe16(infoBlock + kBiBitCount);
  if (bitCount <= 8) return kInfoHeaderSize + (4u << bitCount);
  if (ReadLe32(infoBlock + kBiCompression) == kBiBitfields) return kInfoHeaderSize + 12;
  return kInfoHeaderSize;
}

void TDib::LoadBmpStream(TByteStream* stream) {
  Clear();
  uint32_t start = stream->GetPosition();
  PictureForm = kDeviceIndependent;

  auto fail = [&] {
    stream->Seek(static_cast<int32_t>(start), kFromStart);
    Clear();
  };

  uint8_t fileHeader[kFileHeaderSize];
  if (stream->Read(fileHeader, kFileHeaderSize) < kFileHeaderSize) return fail();
  uint32_t offBits = 0;
  uint32_t fileSize = 0;
  if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
    offBits = ReadLe32(fileHeader + 10);
    fileSize = ReadLe32(fileHeader + 2);
  } else {
    stream->Seek(static_cast<int32_t>(start),
                 kFromStart);  // the stream begins with the info header
  }

  InfoBlock = ZeroedBlock(kInfoBlockSize);
  TBmpLayout layout;
  if (stream->Read(InfoBlock, kInfoHeaderSize) < kInfoHeaderSize) return fail();
  if (!PlanBmpLayout(InfoBlock, offBits, layout)) return fail();
  if (layout.ColourTableSize > 0 &&
      stream->Read(InfoBlock + kInfoHeaderSize, layout.ColourTableSize) < layout.ColourTableSize) {
    return fail();
  }

  // A stream without a file header must hold all pixel bytes; with one, the
  // pixels it lacks stay zero, but the block may not claim more than the
  // whole stream holds.
  uint32_t left = BytesLeft(stream);
  uint32_t toRead = layout.BitsSize;
  if (fileSize == 0 && toRead > left) return fail();
  if (fileSize != 0 && toRead > left) {
    if (toRead > stream->GetSize()) return fail();
    toRead = left;
  }

  Width = layout.Width;
  Height = layout.Height;
  RowStride = layout.RowStride;
  BitsSize = layout.BitsSize;
  BitFormat = layout.Format;
  Bits = ZeroedBlock(BitsSize);
  if (stream->Read(Bits, toRead) < toRead) return fail();
}

bool TDib::SaveBmpStream(TByteStream* stream) {
  if (IsEmpty()) return false;
  uint32_t start = stream->GetPosition();
  SetPictureForm(kDeviceIndependent);
  if (!InfoBlock || !Bits) return false;

  uint32_t infoBytes = InfoBytesInUse(InfoBlock);
  uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
  WriteLe32(fileHeader + 2, kFileHeaderSize + infoBytes + BitsSize);
  WriteLe32(fileHeader + 10, kFileHeaderSize + infoBytes);

  bool written = stream->Write(fileHeader, kFileHeaderSize) == kFileHeaderSize &&
                 stream->Write(InfoBlock, infoBytes) == infoBytes &&
                 stream->Write(Bits, BitsSize) == BitsSize;
  if (!written) stream->Seek(static_cast<int32_t>(start), kFromStart);
  return written;
}

bool TDib::SaveBmpFile(const char* fileName) {
  if (IsEmpty()) return false;  // no file is created for an empty picture
  TByteStream* file = MakeFileWriter(fileName);
  bool saved = file->FileHandle != kInvalidFileHandle && SaveBmpStream(file);
  Free(file);
  return saved;
}

void TDib::Clear() {
  if (!BitsInSection) std::free(Bits);
  if (BitmapHandle) DeletePictureHandle(BitmapHandle);  // a section's bits go with it
  BitmapHandle = nullptr;
  Bits = nullptr;
  BitsSize = 0;
  std::free(InfoBlock);
  InfoBlock = nullptr;
  RowStride = 0;
  Width = Height = 0;
  BitsInSection = false;
}

void TDib::Destroy() {
  Clear();
  TBaseObject::Destroy();
}
