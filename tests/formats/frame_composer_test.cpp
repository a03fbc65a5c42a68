// The player's composer: palette colours, backdrop, shadow and zoom against
// a pixel-by-pixel reading of the rules, and the requests it refuses.
#include "formats/frame_composer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A palette where every entry differs and channels are odd, so that a
// halving that rounds up or mixes channels shows.
std::vector<uint8_t> OddColours() {
  std::vector<uint8_t> colours(1024);
  for (int i = 0; i < 256; ++i) {
    colours[4 * i] = static_cast<uint8_t>(i * 7 + 1);       // blue
    colours[4 * i + 1] = static_cast<uint8_t>(i * 13 + 3);  // green
    colours[4 * i + 2] = static_cast<uint8_t>(255 - i);     // red
  }
  return colours;
}

// Indices with about one pixel in three of colour 0.
std::vector<uint8_t> Speckled(uint32_t width, uint32_t height, uint32_t seed) {
  std::vector<uint8_t> pixels(size_t{width} * height);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& pixel : pixels) {
    state = state * 1103515245u + 12345u;
    uint8_t value = static_cast<uint8_t>(state >> 16);
    pixel = value % 3 == 0 ? 0 : value;
  }
  return pixels;
}

TIndexedPicture Picture(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels) {
  return {width, height, width, {pixels.data(), pixels.size()}};
}

// The rules, read one screen pixel at a time.
uint32_t Expected(const TComposeRequest& request, uint32_t x, uint32_t y) {
  const uint32_t sx = x / request.Zoom;
  const uint32_t sy = y / request.Zoom;
  const TIndexedPicture& frame = request.Frame;
  uint8_t index = frame.Pixels.empty() ? 0 : frame.Pixels[sy * frame.Stride + sx];
  auto colour = [&](uint8_t i) {
    const uint8_t* e = request.Colours + 4 * i;
    return (uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0];
  };
  if (index != 0) return colour(index);
  uint32_t below = colour(0);
  if (request.Backdrop == TBackdrop::Checkerboard)
    below = ((x / 8) % 2 == (y / 8) % 2) ? 0xC0C0C0 : 0x808080;
  const TIndexedPicture* shadow = request.Shadow;
  if (shadow && !shadow->Pixels.empty() && shadow->Pixels[sy * shadow->Stride + sx] != 0) {
    uint32_t r = (below >> 16) / 2, g = ((below >> 8) & 0xFF) / 2, b = (below & 0xFF) / 2;
    below = (r << 16) | (g << 8) | b;
  }
  return below;
}

struct TComposeCase {
  const char* Name;
  uint32_t Width;
  uint32_t Height;
  uint32_t Zoom;
  TBackdrop Backdrop;
  bool WithShadow;
  bool BlankFrame;  // a frame without pixels
};

TEST(FrameComposer, EveryScreenPixelFollowsTheRules) {
  const TComposeCase cases[] = {
      {"1x palette", 13, 9, 1, TBackdrop::Palette, false, false},
      {"1x checkerboard", 21, 19, 1, TBackdrop::Checkerboard, false, false},
      {"2x checkerboard shadow", 11, 10, 2, TBackdrop::Checkerboard, true, false},
      {"3x checkerboard shadow", 9, 7, 3, TBackdrop::Checkerboard, true, false},
      {"4x palette shadow", 7, 5, 4, TBackdrop::Palette, true, false},
      {"6x checkerboard", 5, 6, 6, TBackdrop::Checkerboard, false, false},
      {"8x checkerboard shadow", 4, 3, 8, TBackdrop::Checkerboard, true, false},
      {"blank frame over a shadow", 6, 5, 3, TBackdrop::Checkerboard, true, true},
      {"1 x 1", 1, 1, 8, TBackdrop::Palette, true, false},
  };
  std::vector<uint8_t> colours = OddColours();
  for (const TComposeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<uint8_t> frame = Speckled(c.Width, c.Height, 1);
    std::vector<uint8_t> shadow = Speckled(c.Width, c.Height, 2);
    TIndexedPicture shadowPicture = Picture(c.Width, c.Height, shadow);
    TComposeRequest request;
    request.Frame = Picture(c.Width, c.Height, frame);
    if (c.BlankFrame) request.Frame.Pixels = {};
    request.Shadow = c.WithShadow ? &shadowPicture : nullptr;
    request.Colours = colours.data();
    request.Backdrop = c.Backdrop;
    request.Zoom = c.Zoom;

    TComposedPicture picture;
    ASSERT_TRUE(ComposeFrame(request, picture));
    ASSERT_EQ(picture.Width, c.Width * c.Zoom);
    ASSERT_EQ(picture.Height, c.Height * c.Zoom);
    ASSERT_EQ(picture.Pixels.size(), size_t{picture.Width} * picture.Height);
    int wrong = 0;
    for (uint32_t y = 0; y < picture.Height && wrong < 3; ++y) {
      for (uint32_t x = 0; x < picture.Width && wrong < 3; ++x) {
        uint32_t expected = Expected(request, x, y);
        uint32_t seen = picture.Pixels[size_t{y} * picture.Width + x];
        if (seen != expected) {
          ++wrong;
          ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << seen << " instead of "
                        << expected;
        }
      }
    }
  }
}

TEST(FrameComposer, RefusesWhatItCannotCompose) {
  std::vector<uint8_t> colours = OddColours();
  std::vector<uint8_t> pixels(4 * 3, 1);
  std::vector<uint8_t> other(3 * 3, 1);
  TIndexedPicture narrower = Picture(3, 3, other);
  TIndexedPicture good = Picture(4, 3, pixels);
  TIndexedPicture shortRows = good;
  shortRows.Pixels = shortRows.Pixels.first(11);
  // One row more than the most screen pixels.
  TIndexedPicture huge = {1024, 1025, 1024, {}};
  struct TRefusal {
    const char* Name;
    TComposeRequest Request;
  };
  const TRefusal refusals[] = {
      {"zoom 0", {good, nullptr, colours.data(), TBackdrop::Palette, 0}},
      {"zoom 9", {good, nullptr, colours.data(), TBackdrop::Palette, 9}},
      {"no colours", {good, nullptr, nullptr, TBackdrop::Palette, 1}},
      {"shadow of another size", {good, &narrower, colours.data(), TBackdrop::Palette, 1}},
      {"frame shorter than its rows", {shortRows, nullptr, colours.data(), TBackdrop::Palette, 1}},
      {"too many screen pixels", {huge, nullptr, colours.data(), TBackdrop::Palette, 8}},
  };
  for (const TRefusal& refusal : refusals) {
    SCOPED_TRACE(refusal.Name);
    TComposedPicture picture{1, 1, {7}};
    EXPECT_FALSE(ComposeFrame(refusal.Request, picture));
    EXPECT_EQ(picture.Width, 0u);
    EXPECT_TRUE(picture.Pixels.empty());
  }
  TComposedPicture picture;
  EXPECT_TRUE(ComposeFrame({good, nullptr, colours.data(), TBackdrop::Palette, 8}, picture));
}

}  // namespace
