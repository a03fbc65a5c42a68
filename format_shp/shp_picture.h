#pragma once

#include <cstdint>

#include "format_shp/shp.h"
#include "formats/indexed_picture.h"

// Frame `index` of a whole loaded sprite as the image writers and the
// composer take it: the full sprite box. A frame without pixels (or whose
// compression was not decoded) is all index 0, as its image shows. Inline:
// the codec's library itself knows nothing of the writers' pictures.
inline TIndexedPicture FramePicture(const TShp& sprite, int32_t index) {
  TIndexedPicture picture;
  picture.Width = sprite.Width;
  picture.Height = sprite.Height;
  picture.Stride = size_t{sprite.Width} + RowPad(sprite.Width);
  const TShpSprite* frame = sprite.FrameAt(index);
  if (frame && frame->HasPixels && frame->Canvas && frame->Canvas->Size > 0)
    picture.Pixels = {frame->Canvas->Block, static_cast<size_t>(frame->Canvas->Size)};
  return picture;
}
