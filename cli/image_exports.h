#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/converter_options.h"
#include "format_shp/shp.h"
#include "formats/indexed_picture.h"

// The PNG, GIF and sprite-sheet exports of a loaded sprite whose palette is
// set: the codec's canvases handed to the image writers.

// Frame `index`'s canvas as the image writers take it: the full sprite box.
TIndexedPicture FramePicture(const TShp& sprite, int32_t index);

// Writes frame `index` as an indexed PNG into a write stream on a file.
bool WritePngFrame(TShp& sprite, int32_t index, TByteStream* file,
                   const TConverterOptions& options);

// Write `frames` (0-based, in this order) as <base>.gif, or as
// <base>_sheet.png and <base>_sheet.json, each through a temporary file.
// Answer the path that could not be written, empty when all were.
std::string WriteGifSprite(TShp& sprite, const std::vector<int32_t>& frames,
                           const std::string& base, const TConverterOptions& options);
std::string WriteSheetSprite(TShp& sprite, const std::vector<int32_t>& frames,
                             const std::string& base, const TConverterOptions& options);
