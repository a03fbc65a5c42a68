#include "cli/image_exports.h"

#include "formats/frame_names.h"
#include "formats/gif_writer.h"
#include "formats/png_writer.h"
#include "formats/sprite_sheet.h"

namespace {

std::vector<TIndexedPicture> FramePictures(const TShp& sprite, const std::vector<int32_t>& frames) {
  std::vector<TIndexedPicture> pictures;
  pictures.reserve(frames.size());
  for (int32_t index : frames)
    pictures.push_back(FramePicture(sprite, index));
  return pictures;
}

}  // namespace

// A frame without pixels (or whose compression was not decoded) is all
// index 0, as its image shows.
TIndexedPicture FramePicture(const TShp& sprite, int32_t index) {
  TIndexedPicture picture;
  picture.Width = sprite.Width;
  picture.Height = sprite.Height;
  picture.Stride = size_t{sprite.Width} + RowPad(sprite.Width);
  const TShpSprite* frame = sprite.FrameAt(index);
  if (frame && frame->HasPixels && frame->Canvas && frame->Canvas->Size > 0) {
    picture.Pixels = {frame->Canvas->Block, static_cast<size_t>(frame->Canvas->Size)};
  }
  return picture;
}

bool WritePngFrame(TShp& sprite, int32_t index, TByteStream* file,
                   const TConverterOptions& options) {
  TImageBytes png;
  return EncodeIndexedPng(FramePicture(sprite, index), sprite.Palette, options.Opaque, png) &&
         WriteImageBytes(file, png);
}

std::string WriteGifSprite(TShp& sprite, const std::vector<int32_t>& frames,
                           const std::string& base, const TConverterOptions& options) {
  std::string path = base + ".gif";
  TGifOptions gif = {options.DelayMs, options.Opaque};
  bool written = WriteAnimatedGif(path, sprite.Width, sprite.Height, FramePictures(sprite, frames),
                                  sprite.Palette, gif);
  return written ? "" : path;
}

std::string WriteSheetSprite(TShp& sprite, const std::vector<int32_t>& frames,
                             const std::string& base, const TConverterOptions& options) {
  std::string imagePath = base + "_sheet.png";
  std::string atlasPath = base + "_sheet.json";
  TSheetLayout layout;
  TImageBytes png;
  if (!PlanSheet(static_cast<uint32_t>(frames.size()), sprite.Width, sprite.Height, options.Columns,
                 layout) ||
      !EncodeSheetPng(layout, FramePictures(sprite, frames), sprite.Palette, options.Opaque, png) ||
      !WriteImageFile(imagePath, png)) {
    return imagePath;
  }
  std::vector<std::string> names;
  for (int32_t index : frames)
    names.push_back(sprite.Name + FrameNumberText(index + 1));
  std::string atlas = SheetAtlasJson(layout, names, sprite.Name + "_sheet.png");
  return WriteImageFile(atlasPath, TImageBytes(atlas.begin(), atlas.end())) ? "" : atlasPath;
}
