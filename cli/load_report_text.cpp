#include "cli/load_report_text.h"

#include "formats/frame_names.h"

namespace {

std::string Frames(uint32_t count) {
  return std::to_string(count) + (count == 1 ? " frame" : " frames");
}

std::string Box(uint16_t width, uint16_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

std::string Repair(const TFrameTally& tally, const std::string& what) {
  std::string text = Frames(tally.Count) + " " + what;
  if (tally.Count > 1) text += " (first: frame " + FrameNumberText(tally.First + 1) + ")";
  if (tally.Count == 1) text = "frame " + FrameNumberText(tally.First + 1) + " " + what;
  return text;
}

}  // namespace

std::string LoadFailureText(const TShp& sprite) {
  return LoadFailureText(sprite.LoadReport, sprite.Width, sprite.Height);
}

std::vector<std::string> RepairTexts(const TShp& sprite) {
  return RepairTexts(sprite.LoadReport, sprite.Width, sprite.Height);
}

std::string LoadFailureText(const TShpLoadReport& r, uint16_t width, uint16_t height) {
  switch (r.Refusal) {
    case TShpRefusal::CannotOpen:
      return "cannot open the file (missing, a folder or not readable)";
    case TShpRefusal::ShorterThanHeader:
      return "not an SHP file: " + std::to_string(r.FileSize) +
             " bytes, shorter than the 8-byte header";
    case TShpRefusal::ImageTooLarge:
      return "refused: a frame image of the " + Box(width, height) + " sprite box would need " +
             std::to_string(r.BytesNeeded) + " bytes, more than a byte stream holds";
    case TShpRefusal::CanvasesTooLarge:
      return "refused: its frames with pixels would need " + std::to_string(r.BytesNeeded >> 20) +
             " MiB of canvases and images (" + Box(width, height) +
             " each), more than the 512 MiB allowed";
    case TShpRefusal::None:
      break;
  }
  if (r.HeadersCut > 0) {
    return "not an SHP file: its table of " + Frames(r.FramesInHeader) + " needs " +
           std::to_string(8 + 24 * uint64_t{r.FramesInHeader}) + " bytes, the file has " +
           std::to_string(r.FileSize);
  }
  return {};
}

std::vector<std::string> RepairTexts(const TShpLoadReport& r, uint16_t width, uint16_t height) {
  std::vector<std::string> texts;
  if (r.Clipped.Count > 0) {
    texts.push_back(Repair(
        r.Clipped, "reaching outside the " + Box(width, height) + " sprite box: clipped to it"));
  }
  if (r.Truncated.Count > 0) {
    texts.push_back(Repair(r.Truncated,
                           "with data cut short by the end of the file: the "
                           "missing pixels are colour 0"));
  }
  if (r.DataPastEnd.Count > 0) {
    texts.push_back(Repair(r.DataPastEnd, "with data beyond the end of the file: left blank"));
  }
  if (r.OverBudget.Count > 0) {
    texts.push_back(Repair(r.OverBudget,
                           "left blank: frames re-read each other's data far "
                           "beyond the file's size"));
  }
  return texts;
}
