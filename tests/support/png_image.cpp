#include "support/png_image.h"

#include <spng.h>

#include <cstdlib>
#include <stdexcept>

TBytes PngImage(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                const TBytes& rows, uint32_t paletteSize, std::optional<TRgb16> transparent) {
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr header = {width, height, bitDepth, colourType, 0, 0, 0};
  spng_set_ihdr(context, &header);
  if (colourType == SPNG_COLOR_TYPE_INDEXED) {
    spng_plte palette = {};
    palette.n_entries = paletteSize;
    for (uint32_t i = 0; i < paletteSize; ++i) {
      uint8_t grey = static_cast<uint8_t>(i);
      palette.entries[i] = {grey, grey, grey, 0};
    }
    spng_set_plte(context, &palette);
  }
  if (transparent) {
    spng_trns trns = {};
    trns.gray = (*transparent)[0];  // a grey image's tRNS level
    trns.red = (*transparent)[0];
    trns.green = (*transparent)[1];
    trns.blue = (*transparent)[2];
    spng_set_trns(context, &trns);
  }
  int error =
      spng_encode_image(context, rows.data(), rows.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  size_t size = 0;
  void* buffer = error == 0 ? spng_get_png_buffer(context, &size, &error) : nullptr;
  spng_ctx_free(context);
  if (!buffer) throw std::runtime_error(std::string("PNG encoding: ") + spng_strerror(error));
  TBytes bytes(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + size);
  std::free(buffer);
  return bytes;
}
