#include "cli/export_formats.h"

#include <iterator>

#include "cli/image_exports.h"

namespace {

// The frame's image as the viewer saves it: the W x H picture, or the 1 x 1
// placeholder of a frame without pixels.
bool WriteBmpFrame(TShp& sprite, int32_t index, TByteStream* file, const TConverterOptions&) {
  TDib* image = sprite.GetFrameBitmap(index);
  return image && image->SaveBmpStream(file);
}

const TExportFormat kFormats[] = {
    {"bmp", ".bmp", true, WriteBmpFrame, nullptr},
    {"png", ".png", false, WritePngFrame, nullptr},
    {"gif", ".gif", false, nullptr, WriteGifSprite},
    {"sheet", "_sheet.png", false, nullptr, WriteSheetSprite},
};

}  // namespace

const TExportFormat* FindExportFormat(const std::string& name) {
  for (const TExportFormat& format : kFormats) {
    if (name == format.Name) return &format;
  }
  return nullptr;
}

std::string ExportFormatNames() {
  std::string names;
  for (const TExportFormat& format : kFormats)
    names += (names.empty() ? "" : ", ") + std::string(format.Name);
  return names;
}
