#include "cli/palette_option.h"

#include "cli/console.h"

bool ReadPaletteOption(const std::string& name, TConsole& console, uint8_t* colours,
                       TPaletteFacts& facts) {
  facts = ReadPaletteFile(name.c_str(), colours);
  if (!facts.Opened) {
    console.Error(name, "cannot open the palette");
    return false;
  }
  // Any file reads as JASC-PAL text, so one named by mistake would give
  // black images without a word.
  if (!facts.Raw && !facts.JascSignature) {
    console.Error(name, "is not a palette: neither JASC-PAL text nor the raw form of 768 bytes");
    return false;
  }
  return true;
}
