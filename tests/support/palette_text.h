#pragma once

#include <array>
#include <string>
#include <vector>

#include "support/test_files.h"

using TRgb = std::array<int, 3>;

// A JASC-PAL text: "JASC-PAL", "0100", the count (the number of colours
// unless given), then one "red green blue" line per colour; every line ends
// with `lineEnd`.
std::string JascPaletteText(const std::vector<TRgb>& colours, const std::string& lineEnd = "\r\n",
                            int count = -1);

// The 1024-byte colour table (blue, green, red, 0 per entry) holding
// `colours` from entry 0, the other entries 0.
TBytes ColourTable(const std::vector<TRgb>& colours);

// The game's raw palette: 256 entries of red, green, blue bytes, `colours`
// from entry 0 and the other entries 0.
TBytes RawPalette(const std::vector<TRgb>& colours);
