#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/converter_options.h"
#include "format_shp/shp.h"

// One image format the frames of a sprite can be exported as, chosen by
// name (shptool export --format NAME; shp2bmp always writes "bmp"). A format
// writes either a file per frame or files for the whole sprite.
struct TExportFormat {
  const char* Name;
  const char* Extension;  // of each frame's file, with its "."
  bool NeedsBitmaps;      // reads the frames' BMP images, not only their canvases
  // Writes frame `index` of a sprite whose palette is set (and whose bitmaps
  // are built, when needed) into a write stream on a new file; true when
  // every byte was written. Nil for a whole-sprite format.
  bool (*WriteFrame)(TShp& sprite, int32_t index, TByteStream* file,
                     const TConverterOptions& options);
  // Writes `frames` (0-based, in this order) into files named <base> and a
  // suffix, each through a temporary file; answers the path that could not
  // be written, empty when all were. Nil for a per-frame format.
  std::string (*WriteSprite)(TShp& sprite, const std::vector<int32_t>& frames,
                             const std::string& base, const TConverterOptions& options);
};

// Nil for a name no format has.
const TExportFormat* FindExportFormat(const std::string& name);

// The names, for messages: "bmp, ...".
std::string ExportFormatNames();
