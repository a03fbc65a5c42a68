#include "formats/frame_composer.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t PaletteColour(const uint8_t* colours, uint8_t index) {
  const uint8_t* entry = colours + 4 * index;
  return (uint32_t{entry[2]} << 16) | (uint32_t{entry[1]} << 8) | entry[0];
}

bool RequestIsSound(const TComposeRequest& request) {
  const TIndexedPicture& frame = request.Frame;
  if (!request.Colours || request.Zoom < kMinZoom || request.Zoom > kMaxZoom) return false;
  if (!PictureIsSound(frame)) return false;
  if (request.Shadow) {
    const TIndexedPicture& shadow = *request.Shadow;
    if (shadow.Width != frame.Width || shadow.Height != frame.Height || !PictureIsSound(shadow))
      return false;
  }
  uint64_t pixels = uint64_t{frame.Width} * request.Zoom * frame.Height * request.Zoom;
  return pixels <= kMaxComposedPixels;
}

// What colour 0 shows along one screen row, plain and darkened. A
// checkerboard row depends only on whether its band of squares is odd.
struct TBackdropRows {
  std::vector<uint32_t> Plain[2];
  std::vector<uint32_t> Dark[2];
};

void FillBackdropRows(const TComposeRequest& request, uint32_t width, TBackdropRows& rows) {
  uint32_t colour0 = PaletteColour(request.Colours, 0);
  for (uint32_t band = 0; band < 2; ++band) {
    std::vector<uint32_t>& plain = rows.Plain[band];
    std::vector<uint32_t>& dark = rows.Dark[band];
    plain.resize(width);
    dark.resize(width);
    for (uint32_t x = 0; x < width; ++x) {
      plain[x] = request.Backdrop == TBackdrop::Checkerboard ? CheckerAt(x, band * kCheckerSquare)
                                                             : colour0;
      dark[x] = HalfBrightness(plain[x]);
    }
  }
}

// One screen row of source row y over the backdrop of `band`: each source
// pixel repeated `zoom` times.
void ComposeRow(const TComposeRequest& request, const uint32_t* colours, uint32_t y,
                const TBackdropRows& backdrop, uint32_t band, uint32_t* out) {
  const TIndexedPicture& frame = request.Frame;
  const uint32_t zoom = request.Zoom;
  // An empty picture stands for one of colour 0 only.
  const uint8_t* source = frame.Pixels.empty() ? nullptr : PictureRow(frame, y, nullptr);
  const uint8_t* shadow = nullptr;
  if (request.Shadow && !request.Shadow->Pixels.empty())
    shadow = PictureRow(*request.Shadow, y, nullptr);
  const uint32_t* plain = backdrop.Plain[band].data();
  const uint32_t* dark = backdrop.Dark[band].data();
  for (uint32_t x = 0; x < frame.Width; ++x) {
    uint8_t index = source ? source[x] : 0;
    uint32_t* cell = out + x * zoom;
    if (index != 0) {
      std::fill_n(cell, zoom, colours[index]);
    } else {
      const uint32_t* under = shadow && shadow[x] != 0 ? dark : plain;
      std::memcpy(cell, under + x * zoom, zoom * sizeof(uint32_t));
    }
  }
}

}  // namespace

bool ComposeFrame(const TComposeRequest& request, TComposedPicture& picture) {
  if (!RequestIsSound(request)) {
    picture = TComposedPicture();
    return false;
  }
  const uint32_t zoom = request.Zoom;
  picture.Width = request.Frame.Width * zoom;
  picture.Height = request.Frame.Height * zoom;
  picture.Pixels.resize(size_t{picture.Width} * picture.Height);

  uint32_t colours[256];
  for (int i = 0; i < 256; ++i)
    colours[i] = PaletteColour(request.Colours, static_cast<uint8_t>(i));
  TBackdropRows backdrop;
  FillBackdropRows(request, picture.Width, backdrop);

  // A source row covers `zoom` screen rows; those in the same band of
  // squares are the same, so each band's row is composed once and copied.
  const size_t rowBytes = size_t{picture.Width} * sizeof(uint32_t);
  for (uint32_t y = 0; y < request.Frame.Height; ++y) {
    const uint32_t* composed[2] = {nullptr, nullptr};
    for (uint32_t dy = 0; dy < zoom; ++dy) {
      uint32_t screenY = y * zoom + dy;
      uint32_t band =
          request.Backdrop == TBackdrop::Checkerboard ? (screenY / kCheckerSquare) & 1 : 0;
      uint32_t* out = picture.Pixels.data() + size_t{screenY} * picture.Width;
      if (composed[band]) {
        std::memcpy(out, composed[band], rowBytes);
      } else {
        ComposeRow(request, colours, y, backdrop, band, out);
        composed[band] = out;
      }
    }
  }
  return true;
}
