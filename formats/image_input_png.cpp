// PNG images through libspng: indexed images as their indices, every other
// form (grey or colour, with or without alpha, 8 or 16 bits) as 8-bit RGBA; a
// tRNS colour becomes alpha 0.
#include <spng.h>

#include <memory>

#include "formats/image_input.h"

namespace {

struct TSpngFree {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using TSpngContext = std::unique_ptr<spng_ctx, TSpngFree>;

// Chunks beyond this size are refused rather than buffered.
constexpr size_t kMaxChunkBytes = 64u << 20;

bool Failed(int error, const char* what, std::string& why) {
  if (error == 0) return false;
  why = std::string(what) + ": " + spng_strerror(error);
  return true;
}

// Spreads packed indices of `depth` bits (1, 2 or 4), each row starting on a
// byte, to one byte per pixel.
void UnpackIndices(const std::vector<uint8_t>& packed, uint32_t depth, TInputImage& image) {
  const uint32_t width = image.Width;
  const size_t rowBytes = (size_t{width} * depth + 7) / 8;
  const uint32_t mask = (1u << depth) - 1;
  image.Pixels.resize(size_t{width} * image.Height);
  for (uint32_t y = 0; y < image.Height; ++y) {
    const uint8_t* row = packed.data() + y * rowBytes;
    uint8_t* out = image.Pixels.data() + size_t{y} * width;
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t bit = x * depth;
      out[x] = static_cast<uint8_t>(row[bit / 8] >> (8 - depth - bit % 8) & mask);
    }
  }
}

bool Decode(spng_ctx* context, int format, int flags, std::vector<uint8_t>& out, std::string& why) {
  size_t size = 0;
  if (Failed(spng_decoded_image_size(context, format, &size), "cannot read the PNG image", why)) {
    return false;
  }
  out.resize(size);
  return !Failed(spng_decode_image(context, out.data(), size, format, flags),
                 "cannot read the PNG image", why);
}

}  // namespace

bool ReadPngImage(const uint8_t* data, size_t size, TInputImage& image, std::string& why) {
  image = TInputImage();
  TSpngContext context(spng_ctx_new(0));
  if (!context) throw std::bad_alloc();
  spng_set_chunk_limits(context.get(), kMaxChunkBytes, kMaxChunkBytes);
  spng_set_png_buffer(context.get(), data, size);
  spng_ihdr header = {};
  if (Failed(spng_get_ihdr(context.get(), &header), "not a readable PNG image", why)) return false;
  image.Width = header.width;
  image.Height = header.height;
  if (uint64_t{header.width} * header.height > kMaxInputPixels) {
    why = "too large a PNG image: " + std::to_string(header.width) + " x " +
          std::to_string(header.height) + " pixels, more than the " +
          std::to_string(kMaxInputPixels) + " an image to encode may have";
    return false;
  }
  if (header.color_type == SPNG_COLOR_TYPE_INDEXED) {
    image.Kind = TInputKind::Indices;
    if (header.bit_depth == 8) return Decode(context.get(), SPNG_FMT_PNG, 0, image.Pixels, why);
    std::vector<uint8_t> packed;
    if (!Decode(context.get(), SPNG_FMT_PNG, 0, packed, why)) return false;
    UnpackIndices(packed, header.bit_depth, image);
    return true;
  }
  image.Kind = TInputKind::Rgba;
  return Decode(context.get(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS, image.Pixels, why);
}
