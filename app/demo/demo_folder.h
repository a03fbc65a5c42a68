#pragma once

#include <string>
#include <vector>

#include "app/demo/demo_art.h"

// One file of the demo folder.
struct TDemoFile {
  std::string Name;
  TBytes Bytes;
};

// Every file of the demo folder: the JASC-PAL palettes Demo.pal and
// Dusk.pal and the sprites spinner.shp, ball.shp, lamp.shp and waves.shp.
// The same bytes on every run and every platform.
std::vector<TDemoFile> DemoFiles();

// Writes the demo files into an existing folder, replacing files of the same
// names; throws std::runtime_error when one cannot be written.
void WriteDemoFolder(const std::string& folder);
