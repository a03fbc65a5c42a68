#include "fuzz/fuzz_entries.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "formats/image_input.h"
#include "formats/palette_file.h"
#include "formats/palette_reader.h"
#include "format_shp/shp_encode.h"
#include "format_shp/shp.h"
#include "toolkit/base/le_bytes.h"

#include "toolkit/base/byte_stream.h"
#include "toolkit/base/dib.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// Saving and reloading huge (mostly zero) pictures only slows the fuzzer down.
constexpr uint32_t kLargePicture = 4u << 20;

TByteStream* StreamOf(const uint8_t* data, size_t size) {
  TByteStream* stream = MakeMemoryStream();
  stream->Write(data, static_cast<uint32_t>(size));
  stream->Seek(0, kFromStart);
  return stream;
}

// The file the SHP target loads from: one per process, in the temporary folder.
const std::string& SpriteFileName() {
  static const std::string name = [] {
    std::random_device random;
    auto file = "skarnel-fuzz-" + std::to_string(random()) + ".shp";
    return (std::filesystem::temp_directory_path() / file).string();
  }();
  return name;
}

// Every frame's canvas and image must have the sizes the sprite box gives,
// whatever the file said.
void CheckSprite(TShp* sprite) {
  Check(sprite->FrameCount == sprite->Frames->Count, "one record per frame");
  uint32_t stride = sprite->Width + RowPad(sprite->Width);
  uint32_t canvasSize = stride * sprite->Height;
  for (int32_t i = 0; i < sprite->FrameCount; ++i) {
    TShpSprite* frame = sprite->FrameAt(i);
    Check(frame->HasPixels == (frame->DataOffset != 0), "HasPixels follows the data offset");
    Check(frame->HasPixels == (frame->Canvas != nullptr),
          "a canvas exactly for frames with pixels");
    bool decoded = FrameKind(frame->Compression) <= kShpCodedRows;  // kinds 0 to 3
    if (frame->Canvas && decoded) {
      Check(frame->Canvas->GetSize() == canvasSize, "a decoded canvas covers the sprite box");
    }
    // Placeholders of frames without pixels are all alike; a few will do.
    if (!frame->HasPixels && i >= 16) continue;
    TDib* image = sprite->GetFrameBitmap(i);
    Check(image != nullptr, "every frame has a picture");
    bool built = frame->HasPixels && canvasSize > 0;
    Check(image->Width == (built ? sprite->Width : 1), "image width");
    Check(image->Height == (built ? sprite->Height : 1), "image height");
  }
}

// Decoding on two threads must give what one thread gave.
void CheckTwoThreadsAgree(const TShp* sprite) {
  static TShp* again = [] {
    TShp* shp = new TShp();
    shp->TwoThreadCanvasBytes = 0;
    return shp;
  }();
  again->LoadShpFile(SpriteFileName().c_str());
  const TShpLoadReport& a = sprite->LoadReport;
  const TShpLoadReport& b = again->LoadReport;
  auto same = [](const TFrameTally& x, const TFrameTally& y) {
    return x.Count == y.Count && x.First == y.First;
  };
  Check(a.Refusal == b.Refusal && same(a.Clipped, b.Clipped) && same(a.Truncated, b.Truncated) &&
            same(a.DataPastEnd, b.DataPastEnd) && same(a.OverBudget, b.OverBudget),
        "two threads report what one thread reports");
  for (int32_t i = 0; i < sprite->FrameCount; ++i) {
    const SpriteCanvas* x = sprite->FrameAt(i)->Canvas;
    const SpriteCanvas* y = again->FrameAt(i)->Canvas;
    Check((x == nullptr) == (y == nullptr), "two threads make the same canvases");
    if (!x) continue;
    Check(x->Size == y->Size && (x->Size == 0 || std::memcmp(x->Block, y->Block, x->Size) == 0),
          "two threads decode the same pixels");
  }
}

}  // namespace

void FuzzShpFile(const uint8_t* data, size_t size) {
  // Sprites whose canvases would take many megabytes are legal but only
  // slow the fuzzer down (their limits have tests of their own).
  if (size >= kShpFileHeaderSize) {
    uint64_t canvas = uint64_t{ReadLe16(data + 4)} * (ReadLe16(data + 2) + 3u);
    uint64_t frames = std::min<uint64_t>(ReadLe16(data + 6), (size - 8) / kShpFrameHeaderSize);
    if (canvas * frames > kLargePicture) return;
  }
  {
    std::ofstream out(SpriteFileName(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  static TShp* sprite = new TShp();  // reused, as the viewer reuses its one sprite
  sprite->TwoThreadCanvasBytes = UINT64_MAX;
  sprite->LoadShpFile(SpriteFileName().c_str());
  CheckTwoThreadsAgree(sprite);
  uint8_t palette[kPaletteSize];
  for (uint32_t i = 0; i < kPaletteSize; ++i)
    palette[i] = static_cast<uint8_t>(i * 7);
  sprite->SetPalette(palette);
  sprite->BuildBitmaps();
  CheckSprite(sprite);
}

void FuzzPaletteFile(const uint8_t* data, size_t size) {
  uint8_t colours[kColourTableSize];
  std::memset(colours, 0xAB, sizeof(colours));
  TPaletteFacts facts = ReadPaletteBytes(data, size, colours);
  Check(facts.Entries <= kPaletteEntries, "at most 256 entries");
  Check(!facts.Raw || (size == kRawPaletteSize && facts.Entries == kPaletteEntries),
        "only 768 bytes are raw, with 256 entries");
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    Check(colours[i * 4 + 3] == 0 || colours[i * 4 + 3] == 0xAB, "the fourth byte stays 0");
  }
}

void FuzzBmpStream(const uint8_t* data, size_t size) {
  TByteStream* in = StreamOf(data, size);
  TDib* dib = new TDib();
  dib->LoadBmpStream(in);
  if (dib->IsEmpty()) {
    Check(in->GetPosition() == 0, "a failed load leaves the stream where it was");
    Check(dib->InfoBlock == nullptr && dib->Bits == nullptr, "a failed load keeps nothing");
  } else if (dib->BitsSize <= kLargePicture) {
    Check(dib->BitsSize == dib->RowStride * static_cast<uint32_t>(dib->Height),
          "BitsSize is RowStride x Height");
    TByteStream* out = MakeMemoryStream();
    bool saved = dib->SaveBmpStream(out);
    Check(saved, "a loaded picture saves");
    Check(out->GetSize() >= 54 + dib->BitsSize, "the saved file holds headers and rows");
    // What was saved loads again as the same picture.
    out->Seek(0, kFromStart);
    TDib* again = new TDib();
    again->LoadBmpStream(out);
    Check(again->Width == dib->Width && again->Height == dib->Height, "a saved picture reloads");
    Free(again);
    Free(out);
  }
  Free(dib);
  Free(in);
}

void FuzzInputImage(const uint8_t* data, size_t size) {
  TByteStream* in = StreamOf(data, size);
  TInputImage image;
  std::string why;
  bool read = ReadInputImage(in, image, why);
  Free(in);
  Check(read || !why.empty(), "a refused image says why");
  if (!read) return;
  uint64_t pixels = uint64_t{image.Width} * image.Height;
  switch (image.Kind) {
    case TInputKind::Placeholder:
      Check(image.Width == 1 && image.Height == 1 && image.Pixels.empty(), "placeholder");
      return;
    case TInputKind::Indices:
      Check(image.Pixels.size() == pixels, "one index per pixel");
      break;
    case TInputKind::Rgba:
      Check(image.Pixels.size() == 4 * pixels, "four bytes per pixel");
      return;
  }
  if (image.Width > 0xFFFF || image.Height > 0xFFFF || pixels > kLargePicture) return;
  TShpEncoder encoder;
  TShpFrameOut frame =
      FrameOfImage(image.Pixels.data(), static_cast<uint16_t>(image.Width),
                   static_cast<uint16_t>(image.Height), image.Width, TShpPacking::Smaller);
  Check(frame.X + frame.Width <= image.Width && frame.Y + frame.Height <= image.Height,
        "the frame lies inside the image");
  Check(encoder.AddFrame(frame), "a frame packed the smaller way is always added");
  Check(encoder.Finish(static_cast<uint16_t>(image.Width), static_cast<uint16_t>(image.Height))
                .size() >= kShpFileHeaderSize + kShpFrameHeaderSize + 1,
        "header, table and data");
}
