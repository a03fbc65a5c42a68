#include "cli/export_formats.h"

#include "cli/image_exports.h"

namespace {

const TExportFormat kFormats[] = {
    {"bmp", ".bmp", EncodeBmpFrame, nullptr},
    {"png", ".png", EncodePngFrame, nullptr},
    {"gif", ".gif", nullptr, WriteGifSprite},
    {"sheet", "_sheet.png", nullptr, WriteSheetSprite},
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
