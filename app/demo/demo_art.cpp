#include "app/demo/demo_art.h"

#include <algorithm>
#include <cstdlib>

#include "format_shp/shp_encode.h"

namespace {

// The brightest shade of each colour ramp.
constexpr std::array<TRgb, kDemoRamps> kRampTops = {{
    {255, 48, 48},    // red
    {255, 140, 0},    // orange
    {255, 230, 40},   // yellow
    {160, 240, 40},   // lime
    {40, 200, 60},    // green
    {40, 200, 160},   // teal
    {40, 220, 255},   // cyan
    {60, 140, 255},   // sky
    {40, 60, 230},    // blue
    {140, 60, 230},   // violet
    {230, 50, 200},   // magenta
    {255, 120, 170},  // pink
    {170, 110, 60},   // brown
    {230, 200, 140},  // sand
    {140, 160, 180},  // steel
}};

constexpr TRgb kDuskTint = {60, 30, 110};

// Sine of k sixteenths of a turn, times 1024.
constexpr int kSine16[16] = {0, 392,  724,  946,  1024,  946,  724,  392,
                             0, -392, -724, -946, -1024, -946, -724, -392};

int Sine16(int k) {
  return kSine16[k & 15];
}

int Cosine16(int k) {
  return kSine16[(k + 4) & 15];
}

// A smooth wave over a period of 256 steps, between -range and range.
int Wave256(int phase, int range) {
  int q = phase & 127;
  int bump = q * (128 - q) * range / 4096;
  return (phase & 128) ? -bump : bump;
}

int Shade(int value) {
  return std::clamp(value, 0, 15);
}

// One frame of a demo sprite: its position, compression and rows; a frame
// without pixels keeps a header of its size.
struct TDemoFrame {
  uint16_t X = 0;
  uint16_t Y = 0;
  uint32_t Compression = kShpCodedRows;
  std::vector<TBytes> Rows;
  bool HasPixels = true;
};

TDemoFrame CodedFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows) {
  return {x, y, kShpCodedRows, std::move(rows)};
}

TDemoFrame RawFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows) {
  return {x, y, kShpRawRows, std::move(rows)};
}

TDemoFrame DarkFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows) {
  return {x, y, kShpCodedRows, std::move(rows), false};
}

TBytes EncodeSprite(uint16_t width, uint16_t height, const std::vector<TDemoFrame>& frames) {
  TShpEncoder encoder;
  for (const TDemoFrame& frame : frames) {
    TBytes pixels;
    for (const TBytes& row : frame.Rows)
      pixels.insert(pixels.end(), row.begin(), row.end());
    TShpFrameOut out;
    out.X = frame.X;
    out.Y = frame.Y;
    out.Width = static_cast<uint16_t>(frame.Rows.empty() ? 0 : frame.Rows[0].size());
    out.Height = static_cast<uint16_t>(frame.Rows.size());
    out.Compression = frame.Compression;
    out.Pixels = frame.HasPixels ? pixels.data() : nullptr;
    out.Stride = out.Width;
    encoder.AddFrame(out);
  }
  return encoder.Finish(width, height);
}

std::vector<TBytes> Blank(int width, int height) {
  return std::vector<TBytes>(static_cast<size_t>(height), TBytes(static_cast<size_t>(width), 0));
}

// One propeller blade pair turned by k sixteenths, on a grey hub; the blades
// differ in colour so that every frame of a full turn is different.
std::vector<TBytes> PropellerRows(int k) {
  std::vector<TBytes> rows = Blank(48, 48);
  int c = Cosine16(k);
  int s = Sine16(k);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      // Doubled coordinates around the box centre.
      int dx = 2 * x - 47;
      int dy = 2 * y - 47;
      int along = (dx * c + dy * s) / 1024;
      int across = std::abs(dy * c - dx * s) / 1024;
      int reach = std::abs(along);
      uint8_t& pixel = rows[y][x];
      if (dx * dx + dy * dy <= 100) {
        pixel = 12;  // hub
      } else if (reach >= 6 && reach <= 44 && across <= 8 - reach / 8) {
        pixel = DemoColour(along > 0 ? kRed : kYellow, Shade(6 + reach * 9 / 44));
      }
    }
  }
  return rows;
}

// A red ball filling a width x height ellipse, lit from the upper left.
std::vector<TBytes> BallRows(int width, int height) {
  std::vector<TBytes> rows = Blank(width, height);
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      int64_t nx = (2 * i + 1 - width) * 1024 / width;
      int64_t ny = (2 * j + 1 - height) * 1024 / height;
      if (nx * nx + ny * ny > 1024 * 1024) continue;
      int64_t lit = (nx + 400) * (nx + 400) + (ny + 400) * (ny + 400);
      rows[j][i] = DemoColour(kRed, Shade(15 - static_cast<int>(lit * 13 / (2048 * 2048))));
    }
  }
  return rows;
}

// A bulb on a steel base; `glow` 0..15 is how bright the bulb burns.
std::vector<TBytes> LampRows(int glow) {
  std::vector<TBytes> rows = Blank(8, 12);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      int dx = 2 * x - 7;
      int dy = 2 * y - 7;
      int distance = dx * dx + dy * dy;
      if (distance <= 64) rows[y][x] = DemoColour(kYellow, Shade(glow - distance / 16));
    }
  }
  for (int y = 8; y < 12; ++y) {
    for (int x = 2; x < 6; ++x)
      rows[y][x] = DemoColour(kSteel, y % 2 ? 8 : 12);
  }
  return rows;
}

// The sea under a sun at moment t of 8: waves of 80 pixels travel right.
std::vector<TBytes> WavesRows(int t) {
  std::vector<TBytes> rows = Blank(320, 160);
  for (int x = 0; x < 320; ++x) {
    int phase = x * 256 / 80 + (8 - t) * 32;
    int surface = 96 + Wave256(phase, 10) + Wave256(3 * phase / 2 + 40, 3);
    for (int y = 0; y < 160; ++y) {
      int depth = y - surface;
      int sunX = x - 250;
      int sunY = y - 40;
      int sun = sunX * sunX + sunY * sunY;
      uint8_t& pixel = rows[y][x];
      if (depth >= 0 && depth < 2) {
        pixel = 15;  // foam
      } else if (depth >= 2) {
        pixel = DemoColour(depth < 12 ? kCyan : kBlue, Shade(15 - depth / 6));
      } else if (sun <= 22 * 22) {
        pixel = DemoColour(sun > 18 * 18 ? kOrange : kYellow, Shade(15 - sun / 120));
      }
    }
  }
  return rows;
}

}  // namespace

std::vector<TRgb> DayColours() {
  std::vector<TRgb> colours(256, TRgb{0, 0, 0});
  for (int i = 1; i < 16; ++i)
    colours[i] = {17 * i, 17 * i, 17 * i};
  for (int ramp = 0; ramp < kDemoRamps; ++ramp) {
    for (int shade = 0; shade < 16; ++shade) {
      TRgb& colour = colours[DemoColour(ramp, shade)];
      for (int c = 0; c < 3; ++c)
        colour[c] = kRampTops[ramp][c] * (shade + 1) / 16;
    }
  }
  return colours;
}

std::vector<TRgb> DuskColours() {
  std::vector<TRgb> colours = DayColours();
  for (TRgb& colour : colours) {
    for (int c = 0; c < 3; ++c)
      colour[c] = (5 * colour[c] + 3 * kDuskTint[c]) / 8;
  }
  return colours;
}

TBytes SpinnerSprite() {
  std::vector<TDemoFrame> frames;
  for (int k = 0; k < 16; ++k)
    frames.push_back(CodedFrame(0, 0, PropellerRows(k)));
  return EncodeSprite(48, 48, frames);
}

TBytes BallSprite() {
  std::vector<TDemoFrame> frames;
  for (int t = 0; t < 12; ++t) {
    // Squashed where it touches the ground, round in the air.
    int width = t == 0 ? 24 : 20;
    int height = t == 0 ? 16 : 20;
    int rise = 2 * t * (12 - t);
    auto x = static_cast<uint16_t>(2 + 3 * t - (width - 20) / 2);
    auto y = static_cast<uint16_t>(96 - height - rise);
    frames.push_back(RawFrame(x, y, BallRows(width, height)));
  }
  return EncodeSprite(64, 96, frames);
}

TBytes LampSprite() {
  std::vector<TDemoFrame> frames = {
      CodedFrame(2, 2, LampRows(15)), RawFrame(2, 2, LampRows(10)), CodedFrame(2, 2, LampRows(6)),
      DarkFrame(2, 2, LampRows(0)),   RawFrame(2, 2, LampRows(6)),  CodedFrame(2, 2, LampRows(10)),
  };
  return EncodeSprite(12, 16, frames);
}

TBytes WavesSprite() {
  std::vector<TDemoFrame> frames;
  for (int t = 0; t < 8; ++t)
    frames.push_back(CodedFrame(0, 0, WavesRows(t)));
  return EncodeSprite(320, 160, frames);
}
