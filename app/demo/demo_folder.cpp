#include "app/demo/demo_folder.h"

#include <filesystem>

#include "app/demo/demo_art.h"

namespace {

TBytes PaletteFile(const std::vector<TRgb>& colours) {
  std::string text = JascPaletteText(colours);
  return TBytes(text.begin(), text.end());
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
  for (const TDemoFile& file : DemoFiles())
    WriteFileBytes((std::filesystem::path(folder) / file.Name).string(), file.Bytes);
}
