#pragma once

#include <cstddef>
#include <cstdint>

// Reading a palette file in either form it comes in: JASC-PAL text, or the
// game's own raw form, 256 entries of red, green and blue bytes.

constexpr uint32_t kRawPaletteSize = 3 * 256;

// What a palette file turned out to hold.
struct TPaletteFacts {
  bool Opened = false;
  bool Raw = false;
  // Begins with the bytes "JASC-PAL", after a UTF-8 byte-order mark or not.
  bool JascSignature = false;
  // Entries the file defines: 256 for a raw palette, otherwise the JASC
  // count line's number, within 0 to 256.
  uint32_t Entries = 0;
};

// Reads the file into `colours` (kColourTableSize bytes, blue, green, red,
// 0 per entry). A file of exactly kRawPaletteSize bytes that does not
// begin with "JASC-PAL" is raw: its levels are 6-bit, scaled up to 8, when
// no byte exceeds 63, and 8-bit otherwise. Every other file is read by
// ReadJascPalette. A file that cannot be opened leaves the table unchanged.
TPaletteFacts ReadPaletteFile(const char* fileName, uint8_t* colours);

// The same over a file's bytes in memory.
TPaletteFacts ReadPaletteBytes(const uint8_t* data, size_t size, uint8_t* colours);
