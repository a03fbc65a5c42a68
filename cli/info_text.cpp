#include "cli/info_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "formats/frame_names.h"

namespace {

// One frame's line, built in place: a sprite may have tens of thousands.
class TLine {
 public:
  TLine& Text(const char* text) {
    size_t length = std::strlen(text);
    std::memcpy(at_, text, length);
    at_ += length;
    return *this;
  }
  TLine& Number(uint64_t number) {
    at_ = std::to_chars(at_, End(), number).ptr;
    return *this;
  }
  // The compression field as stored: "3", or "0xCCCCCC03 kind=3" when its
  // upper bytes, which decoding ignores, are not zero.
  TLine& Compression(uint32_t compression) {
    uint32_t kind = FrameKind(compression);
    if (compression == kind) return Number(compression);
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lX kind=%lu", static_cast<unsigned long>(compression),
                  static_cast<unsigned long>(kind));
    return Text(text);
  }
  void AppendTo(std::string& text) const { text.append(line_, static_cast<size_t>(at_ - line_)); }

 private:
  char* End() { return line_ + sizeof line_; }

  char line_[256];  // the longest line takes about 150
  char* at_ = line_;
};

}  // namespace

std::string SpriteInfoText(const std::string& file, const TShpFrameStream& sprite,
                           const TFrameRanges& frames) {
  std::string text = file + ": sprite " + std::to_string(sprite.Width()) + " x " +
                     std::to_string(sprite.Height()) + ", " + std::to_string(sprite.FrameCount()) +
                     " frames\n";
  // Room for every frame's line with small numbers: the text seldom grows.
  if (frames.empty()) text.reserve(text.size() + size_t{110} * sprite.FrameCount());
  for (int32_t i = 0; i < sprite.FrameCount(); ++i) {
    if (!FrameIsListed(frames, static_cast<uint32_t>(i + 1))) continue;
    const TShpFrameHeader& f = sprite.Header(i);
    TLine line;
    line.Text("frame ").Text(FrameNumberText(i + 1).c_str());
    line.Text(": x=").Number(f.X).Text(" y=").Number(f.Y);
    line.Text(" width=").Number(f.FrameWidth).Text(" height=").Number(f.FrameHeight);
    line.Text(" compression=").Compression(f.Compression);
    line.Text(" extra1=").Number(f.Extra1).Text(" extra2=").Number(f.Extra2);
    line.Text(" offset=").Number(f.DataOffset).Text(" pixels=");
    line.Text(f.DataOffset != 0 ? "yes\n" : "no\n");
    line.AppendTo(text);
  }
  return text;
}
