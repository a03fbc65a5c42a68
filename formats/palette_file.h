#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TByteStream;

// Reading JASC-PAL palette files: a signature line, a version line, a
// count line, then one "red green blue" line per colour.

constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kColourTableSize = 4 * kPaletteEntries;  // blue, green, red, 0 per entry

// Reads the file into `colours` (kColourTableSize bytes). Entry i of the
// first min(count, 256) entries gets the low 8 bits of the three numbers
// of colour line i, 0 for a missing line or field; entries past the count
// keep their content. Lines end at CR, LF or CR LF; Ctrl-Z or the end of
// the file ends the text. Fields are separated by runs of spaces or tabs;
// anything after the third is ignored. A file that cannot be opened
// leaves the table unchanged and answers false.
bool ReadJascPalette(const char* fileName, uint8_t* colours);

// The same from a stream's position, and over text in memory; both answer
// how many entries the count line names, at most 256.
uint32_t ReadJascPaletteStream(TByteStream* stream, uint8_t* colours);
uint32_t ReadJascPaletteText(const uint8_t* text, size_t size, uint8_t* colours);

// A JASC-PAL text of the table's first `count` entries (at most 256):
// "JASC-PAL", "0100", the count, then "red green blue" per entry, every line
// ending in CR LF.
std::string JascPaletteText(const uint8_t* colours, uint32_t count);

// An optional sign, then decimal digits up to the first other character;
// 32-bit arithmetic that wraps. Never fails: no digit reads 0, and leading
// blanks are not skipped.
int32_t ParseDecimal(const std::string& text);

// The file name up to its first ".", ASCII letters lower-cased and the
// first one upper-cased; other bytes (letters of other scripts too) unchanged.
std::string PaletteDisplayName(const std::string& fileName);
