#pragma once

#include <cstdint>
#include <string>

#include "format_shp/shp.h"

// One image format the frames of a sprite can be exported as, chosen by
// name (shptool export --format NAME; shp2bmp always writes "bmp").
struct TExportFormat {
  const char* Name;
  const char* Extension;  // of each frame's file, with its "."
  // Writes frame `index` of a sprite whose palette is set and whose bitmaps
  // are built into the file `path`; true when every byte was written.
  bool (*WriteFrame)(TShp& sprite, int32_t index, const char* path);
};

// Nil for a name no format has.
const TExportFormat* FindExportFormat(const std::string& name);

// The names, for messages: "bmp, ...".
std::string ExportFormatNames();
