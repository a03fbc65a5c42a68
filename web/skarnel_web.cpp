#include "web/skarnel_web.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/export_formats.h"
#include "cli/image_exports.h"
#include "cli/load_report_text.h"
#include "cli/sprite_inputs.h"
#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "formats/frame_composer.h"
#include "formats/frame_names.h"
#include "formats/indexed_picture.h"
#include "formats/mix_path.h"
#include "formats/palette_file.h"
#include "formats/palette_reader.h"
#include "formats/play_list.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define SKARNEL_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define SKARNEL_EXPORT
#endif

namespace {

// The held sprite stays open: previews and exports decode its frames again
// one at a time, as the tools do, so that their bytes are the tools' bytes.
struct TWebState {
  TShpFrameStream* Frames = new TShpFrameStream();
  std::string Name;
  std::string Refusal;
  uint8_t Palette[kColourTableSize] = {};
  std::string Text;
  std::vector<uint8_t> Canvas;
  std::vector<uint8_t> ShadowCanvas;
  TComposedPicture Composed;
  std::vector<uint8_t> Rgba;
};

TWebState& State() {
  static TWebState state;
  return state;
}

const char* Answer(const nlohmann::json& value) {
  // Names come from the user's files: bytes that are not UTF-8 are replaced.
  State().Text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return State().Text.c_str();
}

// "3,0,7" as numbers; what is not a number between commas is skipped. The
// text comes from the page's script, never from a file.
std::vector<int32_t> NumbersOf(const char* text) {
  std::vector<int32_t> numbers;
  std::string field;
  for (const char* c = text ? text : "";; ++c) {
    if (*c != ',' && *c != '\0') {
      field += *c;
      continue;
    }
    char* end = nullptr;
    long value = std::strtol(field.c_str(), &end, 10);
    if (!field.empty() && *end == '\0' && value >= 0 && value <= INT32_MAX)
      numbers.push_back(static_cast<int32_t>(value));
    field.clear();
    if (*c == '\0') return numbers;
  }
}

nlohmann::json TallyJson(const TFrameTally& tally) {
  return {tally.Count, tally.First};
}

nlohmann::json ReportJson(const TShpLoadReport& r) {
  static const char* const kRefusals[] = {"", "cannotOpen", "shorterThanHeader", "imageTooLarge",
                                          "canvasesTooLarge"};
  return {{"refusal", kRefusals[static_cast<int>(r.Refusal)]},
          {"fileSize", r.FileSize},
          {"framesInHeader", r.FramesInHeader},
          {"headersCut", r.HeadersCut},
          {"bytesNeeded", r.BytesNeeded},
          {"clipped", TallyJson(r.Clipped)},
          {"truncated", TallyJson(r.Truncated)},
          {"dataPastEnd", TallyJson(r.DataPastEnd)},
          {"overBudget", TallyJson(r.OverBudget)}};
}

// The frame's pixels as the image writers take them, decoded into `canvas`.
TIndexedPicture Decoded(int32_t index, std::vector<uint8_t>& canvas) {
  return DecodedPicture(*State().Frames, index, canvas);
}

bool IsFrame(int32_t index) {
  return State().Refusal.empty() && index >= 0 && index < State().Frames->FrameCount();
}

}  // namespace

extern "C" {

SKARNEL_EXPORT const char* SkarnelListArchive(const char* path) {
  TConsole console(false, "skarnel");
  std::vector<TConsoleLine> lines;
  console.RecordInto(&lines);
  bool failed = false;
  std::string archive = path;
  nlohmann::json entries = nlohmann::json::array();
  bool isArchive = true;
  for (const TSpriteInput& input : ExpandSpriteInputs({archive}, console, failed)) {
    // A file that reads as no archive comes back as itself.
    if (input.At.Whole)
      isArchive = false;
    else
      entries.push_back(input.Label.substr(archive.size() + 1));
  }
  nlohmann::json errors = nlohmann::json::array();
  for (const TConsoleLine& line : lines)
    errors.push_back(line.Text.substr(line.Text.find(": ") + 2));
  return Answer({{"archive", isArchive}, {"entries", entries}, {"errors", errors}});
}

SKARNEL_EXPORT int32_t SkarnelLoadSprite(const char* path) {
  TWebState& state = State();
  delete state.Frames;
  state.Frames = new TShpFrameStream();
  state.Refusal.clear();
  TSpriteInput input{path, {}};
  if (ResolveMixPath(path, input.At, state.Refusal) == TMixPathKind::Failed) return -1;
  state.Name = SpriteNameOf(SpriteFileNameOf(input).c_str());
  try {
    OpenSpriteInput(*state.Frames, input);
    const TShpFrameStream& frames = *state.Frames;
    state.Refusal = LoadFailureText(frames.Report(), frames.Width(), frames.Height());
    if (!state.Refusal.empty()) return -1;
    // One thread: the page decodes in a worker of its own.
    state.Frames->Survey(std::numeric_limits<uint64_t>::max());
  } catch (const std::bad_alloc&) {
    state.Refusal = "not enough memory to convert it";
    return -1;
  }
  return state.Frames->FrameCount();
}

SKARNEL_EXPORT const char* SkarnelDescribeSprite() {
  TWebState& state = State();
  const TShpFrameStream& frames = *state.Frames;
  nlohmann::json lines = nlohmann::json::array();
  for (int32_t i = 0; state.Refusal.empty() && i < frames.FrameCount(); ++i)
    lines.push_back(FrameLine(state.Name, i + 1));
  std::vector<std::string> repairs;
  if (state.Refusal.empty())
    repairs = RepairTexts(frames.Report(), frames.Width(), frames.Height());
  return Answer({{"name", state.Name},
                 {"width", frames.Width()},
                 {"height", frames.Height()},
                 {"lines", lines},
                 {"refusal", state.Refusal},
                 {"repairs", repairs},
                 {"report", ReportJson(frames.Report())}});
}

SKARNEL_EXPORT int32_t SkarnelSetPalette(const char* path) {
  // Entries a short palette does not list are black, as in the tools, not
  // those of the palette chosen before.
  uint8_t table[kColourTableSize] = {};
  if (!ReadPaletteFile(path, table).Opened) return 0;
  std::memcpy(State().Palette, table, sizeof table);
  return 1;
}

SKARNEL_EXPORT const uint8_t* SkarnelFrameRgba(int32_t index, int32_t shadow,
                                               int32_t checkerboard) {
  TWebState& state = State();
  if (!IsFrame(index) || (shadow != -1 && !IsFrame(shadow))) return nullptr;
  TIndexedPicture under;
  TComposeRequest request;
  try {
    request.Frame = Decoded(index, state.Canvas);
    if (shadow >= 0) {
      under = Decoded(shadow, state.ShadowCanvas);
      request.Shadow = &under;
    }
    request.Colours = state.Palette;
    request.Backdrop = checkerboard ? TBackdrop::Checkerboard : TBackdrop::Palette;
    // The page zooms the picture itself, without smoothing.
    if (!ComposeFrame(request, state.Composed)) return nullptr;
    state.Rgba.resize(state.Composed.Pixels.size() * 4);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  uint8_t* out = state.Rgba.data();
  for (uint32_t pixel : state.Composed.Pixels) {  // 0x00RRGGBB
    *out++ = static_cast<uint8_t>(pixel >> 16);
    *out++ = static_cast<uint8_t>(pixel >> 8);
    *out++ = static_cast<uint8_t>(pixel);
    *out++ = 255;
  }
  return state.Rgba.data();
}

SKARNEL_EXPORT const char* SkarnelPlayList(int32_t onlySelected, int32_t shadows,
                                           const char* selected) {
  TPlayChoice choice;
  choice.FrameCount = State().Refusal.empty() ? State().Frames->FrameCount() : 0;
  choice.OnlySelected = onlySelected != 0;
  choice.Selected = NumbersOf(selected);
  choice.Shadows = shadows != 0;
  nlohmann::json list = nlohmann::json::array();
  for (const TPlayedFrame& played : PlayList(choice))
    list.push_back({played.Frame, played.Shadow});
  return Answer(list);
}

SKARNEL_EXPORT int32_t SkarnelExportFrame(const char* format, int32_t index, const char* path) {
  TWebState& state = State();
  const TExportFormat* chosen = FindExportFormat(format);
  if (!chosen || !chosen->EncodeFrame || !IsFrame(index)) return 0;
  try {
    TFrameToWrite frame;
    frame.Picture = Decoded(index, state.Canvas);
    frame.HasPixels = state.Frames->Header(index).DataOffset != 0;
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

SKARNEL_EXPORT int32_t SkarnelExportSprite(const char* format, const char* folder,
                                           const char* frames, uint32_t delayMs, uint32_t columns,
                                           int32_t opaque) {
  TWebState& state = State();
  const TExportFormat* chosen = FindExportFormat(format);
  const char* listed = frames ? frames : "";
  std::vector<int32_t> list;
  for (int32_t index : NumbersOf(listed)) {
    if (IsFrame(index)) list.push_back(index);
  }
  for (int32_t i = 0; *listed == '\0' && IsFrame(i); ++i)
    list.push_back(i);
  if (!chosen || !chosen->WriteSprite || list.empty()) return 0;
  TConverterOptions options;
  options.DelayMs = delayMs;
  options.Columns = columns;
  options.Opaque = opaque != 0;
  try {
    TSpriteToWrite sprite{*state.Frames, state.Palette, state.Name};
    std::string base = InFolder(folder, state.Name, '/');
    return chosen->WriteSprite(sprite, list, base, options).empty() ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
