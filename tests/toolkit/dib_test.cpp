#include "toolkit/base/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/bmp_image.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/le_bytes.h"
#include "toolkit/base/scoped_object.h"

namespace {

// A memory stream holding `bytes`, positioned at `position`.
TScopedObject<TByteStream> StreamOf(const TBytes& bytes, int32_t position = 0) {
  TScopedObject<TByteStream> h(MakeMemoryStream());
  h->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  h->Seek(position, kFromStart);
  return h;
}

// A memory stream's write that takes no more than a file header at a time.
uint32_t HeaderOnlyWrite(TByteStream* stream, const void* buffer, uint32_t count) {
  static const auto memoryWrite = TScopedObject<TByteStream>(MakeMemoryStream())->Ops.Write;
  return count <= kFileHeaderSize ? memoryWrite(stream, buffer, count) : 0;
}

const std::vector<TBytes> kRows5x3 = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}};

TEST(DibLoad, ReadsAFrameImageOfFiveByThree) {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  EXPECT_EQ(dib->Width, 5);
  EXPECT_EQ(dib->Height, 3);
  EXPECT_EQ(dib->BitFormat, kFormat8Bit);
  EXPECT_EQ(dib->RowStride, 8u);
  EXPECT_EQ(dib->BitsSize, 24u);
  EXPECT_EQ(dib->PictureForm, kDeviceIndependent);
  EXPECT_EQ(in->GetPosition(), image.size());
  ASSERT_NE(dib->InfoBlock, nullptr);
  EXPECT_EQ(std::memcmp(dib->InfoBlock, image.data() + 14, 1064), 0);
  EXPECT_EQ(std::memcmp(dib->Bits, image.data() + 1078, 24), 0);
}

TEST(DibLoad, ReadsAStreamThatStartsWithTheInfoHeader) {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  TBytes headerless(image.begin() + 14, image.end());
  headerless.insert(headerless.begin(), {0xAA, 0xBB});  // the stream starts at offset 2
  auto in = StreamOf(headerless, 2);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  EXPECT_EQ(dib->Width, 5);
  EXPECT_EQ(dib->Height, 3);
  EXPECT_EQ(std::memcmp(dib->InfoBlock + 40, TestPalette().data(), 1024), 0);
  EXPECT_EQ(std::memcmp(dib->Bits, image.data() + 1078, 24), 0);
}

TEST(DibLoad, MissingPixelsAfterAFileHeaderStayZero) {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  image.resize(1078 + 10);
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  ASSERT_EQ(dib->BitsSize, 24u);
  EXPECT_EQ(std::memcmp(dib->Bits, image.data() + 1078, 10), 0);
  for (uint32_t i = 10; i < 24; ++i)
    EXPECT_EQ(dib->Bits[i], 0) << i;
}

TEST(DibLoad, BadStreamsLeaveThePictureEmptyAndTheStreamInPlace) {
  const TBytes good = FrameImage(5, 3, TestPalette(), kRows5x3);
  auto with = [&](auto change) {
    TBytes bytes = good;
    change(bytes);
    return bytes;
  };
  auto headerless = [&](auto change) {
    TBytes bytes(good.begin() + 14, good.end());
    change(bytes);
    return bytes;
  };
  struct TCase {
    const char* what;
    TBytes bytes;
  };
  const TCase cases[] = {
      {"shorter than a file header", TBytes(good.begin(), good.begin() + 10)},
      {"ends inside the info header", TBytes(good.begin(), good.begin() + 40)},
      {"ends inside the colour table", TBytes(good.begin(), good.begin() + 500)},
      {"colour table beyond 1024 bytes", with([](TBytes& b) { WriteLe32(&b[10], 1079); })},
      {"pixels inside the headers", with([](TBytes& b) { WriteLe32(&b[10], 50); })},
      {"zero width", with([](TBytes& b) { WriteLe32(&b[18], 0); })},
      {"negative width", with([](TBytes& b) { WriteLe32(&b[18], 0xFFFFFFFB); })},
      {"zero height", with([](TBytes& b) { WriteLe32(&b[22], 0); })},
      {"most negative height", with([](TBytes& b) { WriteLe32(&b[22], 0x80000000); })},
      {"rows beyond 32 bits", with([](TBytes& b) {
         WriteLe32(&b[18], 0x7FFFFFFF);
         WriteLe16(&b[28], 32);
       })},
      {"pixels beyond 2 GiB", with([](TBytes& b) {
         WriteLe32(&b[18], 0x10000);
         WriteLe32(&b[22], 0x10000);
       })},
      {"pixels beyond 512 MiB", with([](TBytes& b) {
         WriteLe32(&b[18], 0x4000);
         WriteLe32(&b[22], 0x8001);
       })},
      {"pixels beyond what the whole stream holds", with([](TBytes& b) {
         WriteLe32(&b[18], 0x1000);
         WriteLe32(&b[22], 0x1000);
       })},
      {"headerless stream without its pixels",
       headerless([](TBytes& b) { b.resize(b.size() - 1); })},
  };
  for (const TCase& c : cases) {
    TBytes bytes = {0x11, 0x22, 0x33};  // the image starts at offset 3
    bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
    auto in = StreamOf(bytes, 3);
    TScopedObject<TDib> dib(new TDib());
    dib->LoadBmpStream(in.Get());
    EXPECT_TRUE(dib->IsEmpty()) << c.what;
    EXPECT_EQ(dib->InfoBlock, nullptr) << c.what;
    EXPECT_EQ(dib->Bits, nullptr) << c.what;
    EXPECT_EQ(in->GetPosition(), 3u) << c.what;
  }
}

// A memory stream that claims zero bytes past its real end, so that the
// pixel bound can be reached without holding the picture (a block larger
// than its stream is refused before the bound is looked at).
constexpr uint32_t kClaimedBeyondEnd = (512u << 20) + 4;

uint32_t ClaimedSize(TByteStream* stream) {
  return static_cast<uint32_t>(stream->Size) + kClaimedBeyondEnd;
}

uint32_t ReadZerosPastEnd(TByteStream* stream, void* buffer, uint32_t count) {
  static const auto memoryRead = TScopedObject<TByteStream>(MakeMemoryStream())->Ops.Read;
  uint32_t got = memoryRead(stream, buffer, count);
  std::memset(static_cast<uint8_t*>(buffer) + got, 0, count - got);
  return count;
}

// The pixel bound at its edge, with headers only (the missing rows read as
// zero): exactly 512 MiB loads, the next size a row allows does not.
TEST(DibLoad, PixelsUpTo512MiBLoad) {
  struct {
    uint32_t height;
    uint32_t bitsSize;  // 0: refused
  } cases[] = {{0x8000000, 512u << 20}, {0x8000001, 0}};
  for (const auto& c : cases) {
    TBytes image = FrameImage(4, 1, TestPalette(), {});
    image.resize(1078);
    WriteLe32(&image[22], c.height);
    auto in = StreamOf(image);
    in->Ops.GetSize = ClaimedSize;
    in->Ops.Read = ReadZerosPastEnd;
    TScopedObject<TDib> dib(new TDib());
    dib->LoadBmpStream(in.Get());
    EXPECT_EQ(dib->BitsSize, c.bitsSize) << c.height;
    EXPECT_EQ(dib->Height, c.bitsSize ? int32_t(c.height) : 0) << c.height;
    EXPECT_EQ(dib->Bits != nullptr, c.bitsSize != 0) << c.height;
  }
}

TEST(DibLoad, TopDownImagesTakeTheAbsoluteHeight) {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  WriteLe32(&image[22], static_cast<uint32_t>(-3));
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  EXPECT_EQ(dib->Height, 3);
  EXPECT_EQ(dib->BitsSize, 24u);
}

TEST(DibLoad, FormatCodesFollowBitCountAndCompression) {
  struct TCase {
    uint16_t bitCount;
    uint32_t compression;
    uint8_t format;
    uint32_t stride;  // for width 5
  };
  const TCase cases[] = {
      {1, 0, kFormat1Bit, 4},       {4, 0, kFormat4Bit, 4},       {8, 0, kFormat8Bit, 8},
      {16, 0, kFormat16Bit555, 12}, {16, 3, kFormat16Bit565, 12}, {24, 0, kFormat24Bit, 16},
      {32, 0, kFormat32Bit, 20},    {12, 0, kFormatUnknown, 8},
  };
  for (const TCase& c : cases) {
    TBytes info;
    PutLe32(info, 40);
    PutLe32(info, 5);
    PutLe32(info, 2);
    PutLe16(info, 1);
    PutLe16(info, c.bitCount);
    PutLe32(info, c.compression);
    info.resize(40, 0);
    uint32_t table = c.bitCount <= 8 ? 4u << c.bitCount : (c.compression == 3 ? 12 : 0);
    info.resize(info.size() + table + c.stride * 2, 0x5A);
    auto in = StreamOf(info);
    TScopedObject<TDib> dib(new TDib());
    dib->LoadBmpStream(in.Get());
    EXPECT_EQ(dib->BitFormat, c.format) << c.bitCount;
    EXPECT_EQ(dib->RowStride, c.stride) << c.bitCount;
    EXPECT_EQ(in->GetPosition(), info.size()) << c.bitCount;
  }
}

TEST(DibSave, WritesTheLoadedFrameImageBackUnchanged) {
  TTempDir dir;
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  // Over an existing, longer file: exactly the image remains.
  std::string name = dir.File("frame.bmp");
  WriteFileBytes(name, TBytes(5000, 0xCC));
  EXPECT_TRUE(dib->SaveBmpFile(name.c_str()));
  EXPECT_EQ(ReadFileBytes(name), image);
}

TEST(DibSave, AnEmptyPictureWritesNothingAndCreatesNoFile) {
  TTempDir dir;
  TScopedObject<TDib> dib(new TDib());
  std::string name = dir.File("empty.bmp");
  EXPECT_FALSE(dib->SaveBmpFile(name.c_str()));
  EXPECT_FALSE(std::filesystem::exists(name));
  TScopedObject<TByteStream> out(MakeMemoryStream());
  EXPECT_FALSE(dib->SaveBmpStream(out.Get()));
  EXPECT_EQ(out->GetSize(), 0u);
}

TEST(DibSave, AFailedWriteLeavesTheStreamWhereItWasAndSaysSo) {
  TTempDir dir;
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  EXPECT_FALSE(dib->SaveBmpFile(dir.File("missing/frame.bmp").c_str()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

  TScopedObject<TByteStream> reader(MakeFileReader(dir.File("none").c_str()));
  EXPECT_FALSE(dib->SaveBmpStream(reader.Get()));

  // From a position past the start: a file open for reading, and a memory
  // stream that takes the file header and then, like a full disk, no more.
  WriteFileBytes(dir.File("old.bmp"), TBytes(10, 1));
  TScopedObject<TByteStream> oldFile(MakeFileReader(dir.File("old.bmp").c_str()));
  auto full = StreamOf(TBytes(10, 1));
  full->Ops.Write = HeaderOnlyWrite;
  for (TByteStream* out : {oldFile.Get(), full.Get()}) {
    ASSERT_EQ(out->Seek(5, kFromStart), 5u);
    EXPECT_FALSE(dib->SaveBmpStream(out));
    EXPECT_EQ(out->GetPosition(), 5u);
  }
}

TEST(DibPlaceholder, OneByOneConvertsToFiveSixFiveAndSavesAsAValidBmp) {
  TTempDir dir;
  TScopedObject<TDib> dib(MakeDib(1, 1));
  EXPECT_EQ(dib->PictureForm, kDeviceCompatible);
  EXPECT_EQ(dib->Width, 1);
  EXPECT_EQ(dib->Height, 1);
  EXPECT_NE(dib->BitmapHandle, nullptr);
  std::string name = dir.File("placeholder.bmp");
  ASSERT_TRUE(dib->SaveBmpFile(name.c_str()));
  EXPECT_EQ(dib->PictureForm, kDeviceIndependent);
  EXPECT_EQ(dib->BitFormat, kFormat16Bit565);
  EXPECT_EQ(dib->RowStride, 4u);
  EXPECT_EQ(dib->BitsSize, 4u);

  TBytes file = ReadFileBytes(name);
  ASSERT_EQ(file.size(), 14u + 40 + 12 + 4);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(ReadLe32(&file[2]), file.size());
  EXPECT_EQ(ReadLe32(&file[10]), 66u);
  EXPECT_EQ(ReadLe32(&file[14]), 40u);
  EXPECT_EQ(ReadLe32(&file[18]), 1u);
  EXPECT_EQ(ReadLe32(&file[22]), 1u);
  EXPECT_EQ(ReadLe16(&file[26]), 1u);
  EXPECT_EQ(ReadLe16(&file[28]), 16u);
  EXPECT_EQ(ReadLe32(&file[30]), 3u);
  EXPECT_EQ(ReadLe32(&file[54]), 0xF800u);
  EXPECT_EQ(ReadLe32(&file[58]), 0x07E0u);
  EXPECT_EQ(ReadLe32(&file[62]), 0x001Fu);
  EXPECT_EQ(ReadLe32(&file[66]), 0u);  // one black pixel and its padding

  // The saved placeholder reads back as the same picture.
  TScopedObject<TByteStream> in(MakeFileReader(name.c_str()));
  TScopedObject<TDib> back(new TDib());
  back->LoadBmpStream(in.Get());
  EXPECT_EQ(back->Width, 1);
  EXPECT_EQ(back->BitFormat, kFormat16Bit565);
}

TEST(DibPlaceholder, AZeroSizedPictureHasNoHandleAndSavesNothing) {
  TScopedObject<TDib> dib(MakeDib(0, 5));
  EXPECT_EQ(dib->BitmapHandle, nullptr);
  TScopedObject<TByteStream> out(MakeMemoryStream());
  EXPECT_FALSE(dib->SaveBmpStream(out.Get()));
  EXPECT_EQ(out->GetSize(), 0u);
}

TEST(DibHandle, MovesThePixelsIntoASectionUnchanged) {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  EXPECT_EQ(dib->BitmapHandle, nullptr);
  void* handle = dib->Handle();
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(dib->BitsInSection);
  EXPECT_EQ(dib->Handle(), handle);
  EXPECT_EQ(std::memcmp(dib->Bits, image.data() + 1078, 24), 0);
  TScopedObject<TByteStream> out(MakeMemoryStream());
  EXPECT_TRUE(dib->SaveBmpStream(out.Get()));
  EXPECT_EQ(TBytes(out->Block, out->Block + out->Size), image);
}

TEST(DibClear, EmptiesEveryForm) {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows5x3);
  auto in = StreamOf(image);
  TScopedObject<TDib> dib(new TDib());
  dib->LoadBmpStream(in.Get());
  dib->Handle();
  dib->Clear();
  EXPECT_TRUE(dib->IsEmpty());
  EXPECT_EQ(dib->BitmapHandle, nullptr);
  EXPECT_EQ(dib->Bits, nullptr);
  EXPECT_EQ(dib->RowStride, 0u);
  EXPECT_FALSE(dib->BitsInSection);
}

}  // namespace
