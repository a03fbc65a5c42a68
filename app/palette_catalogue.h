#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/palette_file.h"

// One palette of the working directory.
struct PaletteRecord {
  std::string Name;                        // display name, UTF-8
  uint8_t Colours[kColourTableSize] = {};  // blue, green, red, 0 per entry; all black until read
};

// Every palette found at start-up, in the order the directory search
// delivered them; entry i is item i of the palette box. Read-only after
// start-up.
extern std::vector<PaletteRecord> PaletteCatalogue;

// Empties the catalogue, then appends one record per "*.pal" file of the
// working directory (folders skipped; hidden and system files taken), named
// by PaletteDisplayName and read by ReadPaletteFile (raw or JASC-PAL). A
// file that cannot be opened or read keeps its name and stays all black.
// Answers the number of palettes found.
size_t FillPaletteCatalogue();

// FillPaletteCatalogue at start-up; without a single palette the program
// cannot work: the notice is shown (over the main window, which must exist)
// and the process ends with exit code 0.
void LoadPaletteCatalogue();
