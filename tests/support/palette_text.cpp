#include "support/palette_text.h"

std::string JascPaletteText(const std::vector<TRgb>& colours, const std::string& lineEnd,
                            int count) {
  if (count < 0) count = static_cast<int>(colours.size());
  std::string text = "JASC-PAL" + lineEnd + "0100" + lineEnd + std::to_string(count) + lineEnd;
  for (const TRgb& c : colours) {
    text +=
        std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]) + lineEnd;
  }
  return text;
}

TBytes ColourTable(const std::vector<TRgb>& colours) {
  TBytes table(1024, 0);
  for (size_t i = 0; i < colours.size() && i < 256; ++i) {
    table[4 * i] = static_cast<uint8_t>(colours[i][2]);
    table[4 * i + 1] = static_cast<uint8_t>(colours[i][1]);
    table[4 * i + 2] = static_cast<uint8_t>(colours[i][0]);
  }
  return table;
}

TBytes RawPalette(const std::vector<TRgb>& colours) {
  TBytes bytes(768, 0);
  for (size_t i = 0; i < colours.size() && i < 256; ++i) {
    for (size_t k = 0; k < 3; ++k)
      bytes[3 * i + k] = static_cast<uint8_t>(colours[i][k]);
  }
  return bytes;
}
