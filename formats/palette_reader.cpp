#include "formats/palette_reader.h"

#include <algorithm>
#include <cstring>

#include "formats/palette_file.h"
#include "toolkit/base/byte_stream.h"

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* prefix) {
  size_t length = std::strlen(prefix);
  return size >= length && std::memcmp(data, prefix, length) == 0;
}

bool HasJascSignature(const uint8_t* data, size_t size) {
  if (StartsWith(data, size, "\xEF\xBB\xBF")) {
    data += 3;
    size -= 3;
  }
  return StartsWith(data, size, "JASC-PAL");
}

// The raw form keeps the hardware's 6-bit levels; 63 must become 255, so
// the top bits fill the two new low ones.
uint8_t Level(uint8_t value, bool sixBit) {
  return sixBit ? static_cast<uint8_t>(value << 2 | value >> 4) : value;
}

void ReadRawPalette(const uint8_t* data, uint8_t* colours) {
  bool sixBit = std::all_of(data, data + kRawPaletteSize, [](uint8_t v) { return v <= 63; });
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    colours[4 * i] = Level(data[3 * i + 2], sixBit);
    colours[4 * i + 1] = Level(data[3 * i + 1], sixBit);
    colours[4 * i + 2] = Level(data[3 * i], sixBit);
    colours[4 * i + 3] = 0;
  }
}

// The signature of a file's bytes, and whether they are raw.
TPaletteFacts FactsOf(const uint8_t* data, size_t size) {
  TPaletteFacts facts;
  facts.Opened = true;
  facts.JascSignature = HasJascSignature(data, size);
  facts.Raw = size == kRawPaletteSize && !facts.JascSignature;
  if (facts.Raw) facts.Entries = kPaletteEntries;
  return facts;
}

}  // namespace

TPaletteFacts ReadPaletteFile(const char* fileName, uint8_t* colours) {
  TByteStream* file = MakeFileReader(fileName);
  TPaletteFacts facts;
  if (file->FileHandle != kInvalidFileHandle) {
    // One byte more than the raw form tells a longer file from it.
    uint8_t head[kRawPaletteSize + 1];
    uint32_t got = file->Read(head, sizeof head);
    facts = FactsOf(head, got);
    if (facts.Raw) {
      ReadRawPalette(head, colours);
    } else {
      file->Seek(0, kFromStart);
      facts.Entries = ReadJascPaletteStream(file, colours);
    }
  }
  Free(file);
  return facts;
}

TPaletteFacts ReadPaletteBytes(const uint8_t* data, size_t size, uint8_t* colours) {
  TPaletteFacts facts = FactsOf(data, size);
  if (facts.Raw) {
    ReadRawPalette(data, colours);
  } else {
    facts.Entries = ReadJascPaletteText(data, size, colours);
  }
  return facts;
}
