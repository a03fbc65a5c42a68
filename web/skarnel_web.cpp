#include "web/skarnel_web.h"

#include <cstring>
#include <limits>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/export_formats.h"
#include "cli/image_exports.h"
#include "cli/load_report_text.h"
#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "formats/frame_names.h"
#include "formats/indexed_picture.h"
#include "formats/palette_file.h"
#include "formats/palette_reader.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define SKARNEL_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SKARNEL_EXPORT
#endif

namespace {

struct TWebState {
  TShp* Sprite = new TShp();
  std::string Path;  // the sprite's file, read again a frame at a time to export
  uint8_t Palette[kColourTableSize] = {};
  std::string Description;
  std::vector<uint8_t> Rgba;
};

TWebState& State() {
  static TWebState state;
  return state;
}

std::string DescribeJson(const TShp& sprite) {
  nlohmann::json lines = nlohmann::json::array();
  for (int32_t i = 0; i < sprite.FrameCount; ++i)
    lines.push_back(FrameLine(sprite.Name, i + 1));
  nlohmann::json description = {
      {"name", sprite.Name},
      {"width", sprite.Width},
      {"height", sprite.Height},
      {"lines", lines},
      {"refusal", LoadFailureText(sprite)},
      {"repairs", RepairTexts(sprite)},
  };
  // Names come from the user's files: bytes that are not UTF-8 are replaced.
  return description.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The exports read the sprite again a frame at a time, as the tools do, so
// that their bytes are the tools' bytes. One thread: the page decodes in a
// worker of its own.
void OpenForExport(const TWebState& state, TShpFrameStream& frames) {
  frames.Open(state.Path.c_str());
  frames.Survey(std::numeric_limits<uint64_t>::max());
}

}  // namespace

extern "C" {

SKARNEL_EXPORT int32_t SkarnelLoadSprite(const char* path) {
  TWebState& state = State();
  state.Sprite->Clear();
  // One thread: the page decodes in a worker of its own.
  state.Sprite->TwoThreadCanvasBytes = std::numeric_limits<uint64_t>::max();
  try {
    state.Path = path;
    state.Sprite->LoadShpFile(path);
  } catch (const std::bad_alloc&) {
    state.Sprite->Clear();
    return -1;
  }
  if (!LoadFailureText(*state.Sprite).empty()) return -1;
  return state.Sprite->FrameCount;
}

SKARNEL_EXPORT const char* SkarnelDescribeSprite() {
  TWebState& state = State();
  state.Description = DescribeJson(*state.Sprite);
  return state.Description.c_str();
}

SKARNEL_EXPORT int32_t SkarnelSetPalette(const char* path) {
  // Entries a short palette does not list are black, as in the tools, not
  // those of the palette chosen before.
  uint8_t table[kColourTableSize] = {};
  if (!ReadPaletteFile(path, table).Opened) return 0;
  std::memcpy(State().Palette, table, sizeof table);
  return 1;
}

SKARNEL_EXPORT const uint8_t* SkarnelFrameRgba(int32_t index) {
  TWebState& state = State();
  const TShp& sprite = *state.Sprite;
  if (!sprite.FrameAt(index)) return nullptr;
  const TIndexedPicture picture = FramePicture(sprite, index);
  state.Rgba.assign(size_t{picture.Width} * picture.Height * 4, 0);
  uint8_t* out = state.Rgba.data();
  for (uint32_t y = 0; y < picture.Height; ++y) {
    for (uint32_t x = 0; x < picture.Width; ++x, out += 4) {
      uint8_t index8 = picture.Pixels.empty() ? 0 : picture.Pixels[y * picture.Stride + x];
      const uint8_t* entry = state.Palette + 4 * index8;  // blue, green, red, 0
      out[0] = entry[2];
      out[1] = entry[1];
      out[2] = entry[0];
      out[3] = 255;
    }
  }
  return state.Rgba.data();
}

SKARNEL_EXPORT int32_t SkarnelExportFrame(const char* format, int32_t index, const char* path) {
  TWebState& state = State();
  const TExportFormat* chosen = FindExportFormat(format);
  if (!chosen || !chosen->EncodeFrame || !state.Sprite->FrameAt(index)) return 0;
  try {
    TShpFrameStream frames;
    OpenForExport(state, frames);
    if (index >= frames.FrameCount()) return 0;
    std::vector<uint8_t> canvas;
    TFrameToWrite frame;
    frame.Picture = DecodedPicture(frames, index, canvas);
    frame.HasPixels = frames.Header(index).DataOffset != 0;
    frame.Palette = state.Palette;
    TImageBytes image;
    // As the tools write it: a failed write leaves no partial file to offer.
    return chosen->EncodeFrame(frame, TConverterOptions{}, image) && WriteImageFile(path, image)
               ? 1
               : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SKARNEL_EXPORT int32_t SkarnelExportSprite(const char* format, const char* folder, uint32_t delayMs,
                                           uint32_t columns) {
  TWebState& state = State();
  const TExportFormat* chosen = FindExportFormat(format);
  if (!chosen || !chosen->WriteSprite || state.Sprite->FrameCount == 0) return 0;
  TConverterOptions options;
  options.DelayMs = delayMs;
  options.Columns = columns;
  try {
    TShpFrameStream frames;
    OpenForExport(state, frames);
    std::vector<int32_t> list;
    for (int32_t i = 0; i < frames.FrameCount(); ++i)
      list.push_back(i);
    TSpriteToWrite sprite{frames, state.Palette, state.Sprite->Name};
    std::string base = InFolder(folder, state.Sprite->Name, '/');
    return chosen->WriteSprite(sprite, list, base, options).empty() ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
