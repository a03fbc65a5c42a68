#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/palette_text.h"
#include "support/shp_writer.h"
#include "support/test_files.h"

// Sprites and palettes the viewer's tests put into its working folders,
// with the pictures the viewer must show and save for them.

// A sprite file: its name, box and frames.
struct TTestSprite {
  std::string FileName;
  uint16_t Width = 0;
  uint16_t Height = 0;
  std::vector<TShpFrameIn> Frames;

  TBytes Bytes() const { return EncodeShp(Width, Height, Frames); }
  // Frame `index`'s colour indices over the whole box, top row first.
  std::vector<TBytes> BoxRows(size_t index) const;
  // The BMP file of a frame with pixels in the palette.
  TBytes FrameBmp(size_t index, const std::vector<TRgb>& palette) const;
};

// Two palettes in which every colour index has a colour of its own.
std::vector<TRgb> AmberPalette();
std::vector<TRgb> SeaPalette();
std::string PaletteText(const std::vector<TRgb>& palette);

// tank.shp: 12 frames of 23 x 17, run-length and raw; frame 4 (index 3) has
// no pixels.
TTestSprite TankSprite();
// my.unit.shp: named "my"; 2 frames of 9 x 7.
TTestSprite DottedSprite();
// empty.shp: a box and no frames.
TTestSprite FramelessSprite();

// Writes the sprite (under `name` when given) into the folder.
void PutSprite(const std::string& folder, const TTestSprite& sprite, std::string name = "");
void PutPalette(const std::string& folder, const std::string& name,
                const std::vector<TRgb>& palette);

// Reads each folder on the path, so that the folder dialog's own reading
// changes no access time while it opens: the dialog cannot preselect a
// folder whose time changes then.
void SettleFolders(const std::string& path);

// The names of the files (not folders) in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
// The names LB_DIR lists for the pattern, in the order it lists them.
std::vector<std::string> DirectoryListing(const std::string& pattern);
// Frame lines "001 : name001" ... for frames 1 to `count`.
std::vector<std::string> FrameLines(const std::string& name, int count);
std::string Lower(std::string text);
