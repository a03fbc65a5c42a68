#pragma once

#include <cstdint>

// The two BMP headers of every frame image: the signature bytes and,
// separately, the other 52 bytes (file offsets 2 to 53) in file order.
struct TBmpHeaderTemplate {
  uint8_t Signature[2];
  uint8_t Rest[52];
};

// Signature "BM", bfOffBits 1078, biSize 40, biPlanes 1, biBitCount 8,
// everything else 0; the size fields are set per sprite by SizedBmpHeader.
extern const TBmpHeaderTemplate BmpHeaderTemplate;

// The template with the fields of a W x H sprite: bfSize 1078 + S, biWidth,
// biHeight (positive: bottom row first), biSizeImage S and both resolution
// fields W x H, where S = H x (W + RowPad).
TBmpHeaderTemplate SizedBmpHeader(uint16_t width, uint16_t height);
