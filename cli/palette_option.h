#pragma once

#include <cstdint>
#include <string>

#include "formats/palette_reader.h"

class TConsole;

// Reads the palette file the user named with --palette into `colours`;
// false, with one error line printed, when it cannot be opened or is
// neither a raw palette nor text that begins with "JASC-PAL".
bool ReadPaletteOption(const std::string& name, TConsole& console, uint8_t* colours,
                       TPaletteFacts& facts);
