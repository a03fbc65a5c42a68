#include "cli/image_exports.h"

#include <algorithm>
#include <cstring>

#include "format_shp/frame_decoder.h"
#include "format_shp/frame_image.h"
#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "formats/frame_names.h"
#include "formats/gif_writer.h"
#include "formats/png_writer.h"
#include "formats/sprite_sheet.h"
#include "toolkit/base/scoped_object.h"

namespace {

// The placeholder image, as the viewer saves it.
bool PlaceholderBmp(TImageBytes& image) {
  TScopedObject<TDib> placeholder(MakeDib(1, 1));
  TScopedObject<TByteStream> bytes(MakeMemoryStream());
  if (!placeholder->SaveBmpStream(bytes)) return false;
  image.assign(bytes->Block, bytes->Block + bytes->Size);
  return true;
}

// The viewer's image of a frame with pixels: the BMP headers, the palette
// and the rows bottom row first, each Width + RowPad bytes.
void ComposeBmp(const TIndexedPicture& picture, const uint8_t* palette, TImageBytes& image) {
  const uint32_t width = picture.Width;
  const uint32_t height = picture.Height;
  const size_t stride = width + RowPad(width);
  const TBmpHeaderTemplate header =
      SizedBmpHeader(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
  image.resize(kFrameImageHeaderSize + stride * height);
  uint8_t* out = image.data();
  out = std::copy_n(header.Signature, sizeof header.Signature, out);
  out = std::copy_n(header.Rest, sizeof header.Rest, out);
  out = std::copy_n(palette, kPaletteSize, out);
  for (uint32_t j = height; j-- > 0; out += stride) {
    if (picture.Pixels.empty()) {
      std::memset(out, 0, stride);
    } else {
      std::memcpy(out, picture.Pixels.data() + j * picture.Stride, stride);
    }
  }
}

}  // namespace

TIndexedPicture DecodedPicture(TShpFrameStream& frames, int32_t index, std::vector<uint8_t>& buffer,
                               TShpFrameReader* reader) {
  TIndexedPicture picture;
  picture.Width = frames.Width();
  picture.Height = frames.Height();
  picture.Stride = size_t{frames.Width()} + RowPad(frames.Width());
  const size_t size = frames.CanvasSize();
  if (buffer.size() < size + kCodedRowOverrun) buffer.resize(size + kCodedRowOverrun);
  bool decoded = reader ? frames.DecodeFrame(index, buffer.data(), *reader)
                        : frames.DecodeFrame(index, buffer.data());
  if (decoded) picture.Pixels = {buffer.data(), size};
  return picture;
}

bool EncodeBmpFrame(const TFrameToWrite& frame, const TConverterOptions&, TImageBytes& image) {
  if (!frame.HasPixels || frame.Picture.Width == 0 || frame.Picture.Height == 0)
    return PlaceholderBmp(image);
  ComposeBmp(frame.Picture, frame.Palette, image);
  return true;
}

bool EncodePngFrame(const TFrameToWrite& frame, const TConverterOptions& options,
                    TImageBytes& image) {
  return EncodeIndexedPng(frame.Picture, frame.Palette, options.Opaque, image);
}

std::string WriteGifSprite(TSpriteToWrite& sprite, const std::vector<int32_t>& frames,
                           const std::string& base, const TConverterOptions& options) {
  std::string path = base + ".gif";
  TGifOptions gif = {options.DelayMs, options.Opaque};
  std::vector<uint8_t> buffer;
  auto take = [&](uint32_t i, TIndexedPicture& picture) {
    picture = DecodedPicture(sprite.Frames, frames[i], buffer);
    return true;
  };
  TImageBytes bytes;
  bool written =
      EncodeAnimatedGif(sprite.Frames.Width(), sprite.Frames.Height(),
                        static_cast<uint32_t>(frames.size()), take, sprite.Palette, gif, bytes) &&
      WriteImageFile(path, bytes);
  return written ? "" : path;
}

std::string WriteSheetSprite(TSpriteToWrite& sprite, const std::vector<int32_t>& frames,
                             const std::string& base, const TConverterOptions& options) {
  std::string imagePath = base + "_sheet.png";
  std::string atlasPath = base + "_sheet.json";
  TSheetLayout layout;
  TImageBytes png;
  if (!PlanSheet(static_cast<uint32_t>(frames.size()), sprite.Frames.Width(),
                 sprite.Frames.Height(), options.Columns, layout)) {
    return imagePath;
  }
  // One buffer for each cell of a row of cells.
  std::vector<std::vector<uint8_t>> buffers(layout.Columns);
  auto take = [&](uint32_t cell, TIndexedPicture& picture) {
    picture = DecodedPicture(sprite.Frames, frames[cell], buffers[cell % layout.Columns]);
    return true;
  };
  if (!EncodeSheetPng(layout, take, sprite.Palette, options.Opaque, png) ||
      !WriteImageFile(imagePath, png)) {
    return imagePath;
  }
  buffers.clear();
  std::vector<std::string> names;
  for (int32_t index : frames)
    names.push_back(sprite.Name + FrameNumberText(index + 1));
  std::string atlas = SheetAtlasJson(layout, names, sprite.Name + "_sheet.png");
  return WriteImageFile(atlasPath, TImageBytes(atlas.begin(), atlas.end())) ? "" : atlasPath;
}
