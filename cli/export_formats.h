#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/converter_options.h"
#include "formats/indexed_picture.h"

class TShpFrameStream;

// One decoded frame to write: the whole sprite box (no pixels: all colour
// 0), whether the frame has pixels at all, and the palette (1024 bytes).
struct TFrameToWrite {
  TIndexedPicture Picture;
  bool HasPixels = false;
  const uint8_t* Palette = nullptr;
};

// A sprite whose frames are read one at a time, after the stream's survey.
struct TSpriteToWrite {
  TShpFrameStream& Frames;
  const uint8_t* Palette;
  std::string Name;
};

// One image format the frames of a sprite can be exported as, chosen by
// name (shptool export --format NAME; shp2bmp always writes "bmp"). A format
// writes either a file per frame or files for the whole sprite.
struct TExportFormat {
  const char* Name;
  const char* Extension;  // of each frame's file, with its "."
  // Makes the file of one frame into `image`; false when it cannot be made.
  // Nil for a whole-sprite format.
  bool (*EncodeFrame)(const TFrameToWrite& frame, const TConverterOptions& options,
                      TImageBytes& image);
  // Writes `frames` (0-based, in this order) into files named <base> and a
  // suffix, each through a temporary file; answers the path that could not
  // be written, empty when all were. Nil for a per-frame format.
  std::string (*WriteSprite)(TSpriteToWrite& sprite, const std::vector<int32_t>& frames,
                             const std::string& base, const TConverterOptions& options);
};

// Nil for a name no format has.
const TExportFormat* FindExportFormat(const std::string& name);

// The names, for messages: "bmp, ...".
std::string ExportFormatNames();
