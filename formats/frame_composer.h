#pragma once

#include <cstdint>
#include <vector>

#include "formats/indexed_picture.h"

// Turns a frame of palette indices into 32-bit screen pixels for an
// on-screen player: palette colours, a background where the frame has
// colour 0, an optional shadow frame underneath and an integer zoom with
// nearest-neighbour sampling. Portable: the viewer and the benchmark share it.

// What colour 0 shows.
enum class TBackdrop : uint8_t {
  Palette,       // the palette's own colour 0
  Checkerboard,  // 8 x 8 squares of grey 192 and 128, in screen pixels
};

constexpr uint32_t kMinZoom = 1;
constexpr uint32_t kMaxZoom = 8;
// The most pixels one composed picture may hold (256 MiB of them).
constexpr uint64_t kMaxComposedPixels = uint64_t{1} << 26;

// Screen pixels are 0x00RRGGBB, the layout of a top-down 32-bit DIB.
constexpr uint32_t kCheckerLight = 0xC0C0C0;
constexpr uint32_t kCheckerDark = 0x808080;
constexpr uint32_t kCheckerSquare = 8;

struct TComposeRequest {
  TIndexedPicture Frame;
  // Drawn under the frame: where it is non-zero, the background is darkened.
  // Null for none; otherwise it must have the frame's size.
  const TIndexedPicture* Shadow = nullptr;
  const uint8_t* Colours = nullptr;  // 256 entries of blue, green, red, 0
  TBackdrop Backdrop = TBackdrop::Palette;
  uint32_t Zoom = 1;
};

// Width x Height pixels, top row first, rows packed.
struct TComposedPicture {
  uint32_t Width = 0;
  uint32_t Height = 0;
  std::vector<uint32_t> Pixels;
};

// Each channel halved, rounded down.
constexpr uint32_t HalfBrightness(uint32_t pixel) {
  return (pixel >> 1) & 0x7F7F7F;
}

// The checkerboard's colour at a screen pixel; the top-left square is light.
constexpr uint32_t CheckerAt(uint32_t x, uint32_t y) {
  return ((x / kCheckerSquare + y / kCheckerSquare) & 1) ? kCheckerDark : kCheckerLight;
}

// Composes into `picture`, reusing its memory. False, with `picture`
// emptied, when the frame is not sound, the shadow's size differs, there
// are no colours, the zoom is outside kMinZoom..kMaxZoom or the result
// would exceed kMaxComposedPixels.
bool ComposeFrame(const TComposeRequest& request, TComposedPicture& picture);
