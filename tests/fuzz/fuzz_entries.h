#pragma once

#include <cstddef>
#include <cstdint>

// One input of each fuzz target. The same entries run under libFuzzer and, over
// the committed corpus and every kept reproducer, in the ordinary test suites.
// Each checks the invariants a reader must keep on any input and aborts (via
// a failed check) when one breaks.

void FuzzBmpStream(const uint8_t* data, size_t size);
// Loads the bytes as an SHP file and builds every frame image.
void FuzzShpFile(const uint8_t* data, size_t size);
// Reads the bytes as a palette file: raw, or JASC-PAL text.
void FuzzPaletteFile(const uint8_t* data, size_t size);
// Reads the bytes as an image to encode (BMP or PNG) and encodes what it
// reads as a frame.
void FuzzInputImage(const uint8_t* data, size_t size);
