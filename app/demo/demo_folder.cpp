#include "app/demo/demo_folder.h"

#include <stdexcept>

#include "app/demo/demo_art.h"
#include "formats/palette_file.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/write_through.h"

namespace {

TBytes PaletteFile(const std::vector<TRgb>& colours) {
  uint8_t table[kColourTableSize] = {};
  for (size_t i = 0; i < colours.size() && i < kPaletteEntries; ++i) {
    table[4 * i] = static_cast<uint8_t>(colours[i][2]);
    table[4 * i + 1] = static_cast<uint8_t>(colours[i][1]);
    table[4 * i + 2] = static_cast<uint8_t>(colours[i][0]);
  }
  std::string text = JascPaletteText(table, static_cast<uint32_t>(colours.size()));
  return TBytes(text.begin(), text.end());
}

bool WriteBytes(TByteStream* file, const TBytes& bytes) {
  uint32_t size = static_cast<uint32_t>(bytes.size());
  return file->Write(bytes.data(), size) == size;
}

}  // namespace

std::vector<TDemoFile> DemoFiles() {
  return {
      {"Demo.pal", PaletteFile(DayColours())},
      {"Dusk.pal", PaletteFile(DuskColours())},
      {"spinner.shp", SpinnerSprite()},
      {"ball.shp", BallSprite()},
      {"lamp.shp", LampSprite()},
      {"waves.shp", WavesSprite()},
  };
}

void WriteDemoFolder(const std::string& folder) {
  for (const TDemoFile& file : DemoFiles()) {
    std::string path = folder.empty() ? file.Name : folder + "/" + file.Name;
    bool written = WriteThroughTemporary(
        path, [&file](TByteStream* out) { return WriteBytes(out, file.Bytes); });
    if (!written) throw std::runtime_error("cannot write " + path);
  }
}
