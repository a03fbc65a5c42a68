#pragma once

#include <array>
#include <cstdint>
#include <vector>

using TBytes = std::vector<uint8_t>;
using TRgb = std::array<int, 3>;

// The demo's drawings. Integer arithmetic only, so that every platform
// draws the same pixels.

// Index 0 is black (the sprites' background); 1..15 a grey ramp; then 15
// colour ramps of 16 shades, dark to bright.
constexpr int kDemoRamps = 15;
constexpr uint8_t DemoColour(int ramp, int shade) {
  return static_cast<uint8_t>(16 + 16 * ramp + shade);
}
constexpr int kRed = 0, kOrange = 1, kYellow = 2, kGreen = 4, kCyan = 6, kBlue = 8, kSteel = 14;

// The palettes: the bright day colours and the same blended into a dusk
// violet.
std::vector<TRgb> DayColours();
std::vector<TRgb> DuskColours();

// The sprites, as SHP file bytes.
TBytes SpinnerSprite();  // 48 x 48, 16 run-length frames: a turning propeller
TBytes BallSprite();     // 64 x 96, 12 raw frames: a ball bouncing to the right
TBytes LampSprite();     // 12 x 16, 6 frames, raw and run-length; dark in one without pixels
TBytes WavesSprite();    // 320 x 160, 8 run-length frames: waves under a sun
