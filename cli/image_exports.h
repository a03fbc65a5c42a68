#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/converter_options.h"
#include "cli/export_formats.h"
#include "formats/indexed_picture.h"

class TShpFrameStream;
class TShpFrameReader;

// The exports of a sprite read a frame at a time: each frame decoded into a
// buffer of the caller's and handed to the image writers.

// Decodes frame `index` into `buffer` (made large enough) and answers it as
// the image writers take it: the full sprite box, no pixels for a frame
// without a canvas.
TIndexedPicture DecodedPicture(TShpFrameStream& frames, int32_t index, std::vector<uint8_t>& buffer,
                               TShpFrameReader* reader = nullptr);

// Make the file of one frame: the viewer's BMP image (the 1 x 1
// placeholder for a frame without pixels or a sprite without area), or an
// indexed PNG.
bool EncodeBmpFrame(const TFrameToWrite& frame, const TConverterOptions& options,
                    TImageBytes& image);
bool EncodePngFrame(const TFrameToWrite& frame, const TConverterOptions& options,
                    TImageBytes& image);

// Write `frames` (0-based, in this order) as <base>.gif, or as
// <base>_sheet.png and <base>_sheet.json, each through a temporary file.
// Answer the path that could not be written, empty when all were.
std::string WriteGifSprite(TSpriteToWrite& sprite, const std::vector<int32_t>& frames,
                           const std::string& base, const TConverterOptions& options);
std::string WriteSheetSprite(TSpriteToWrite& sprite, const std::vector<int32_t>& frames,
                             const std::string& base, const TConverterOptions& options);
