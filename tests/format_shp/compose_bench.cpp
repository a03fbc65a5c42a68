// Speed of composing a frame for the player: a 128 x 128 frame, about half
// colour 0, at 4x over the checkerboard with a shadow frame, and over the
// palette's colour 0 without one. Counted in frames per second; the player
// needs at least 2,000.
#include <benchmark/benchmark.h>

#include <vector>

#include "formats/frame_composer.h"
#include "support/shp_writer.h"

namespace {

constexpr uint32_t kSide = 128;

std::vector<uint8_t> Flatten(const std::vector<TBytes>& rows) {
  std::vector<uint8_t> pixels;
  for (const TBytes& row : rows)
    pixels.insert(pixels.end(), row.begin(), row.end());
  return pixels;
}

void ComposeBench(benchmark::State& state) {
  std::vector<uint8_t> frame = Flatten(SpeckledRows(kSide, kSide, 1));
  std::vector<uint8_t> shade = Flatten(SpeckledRows(kSide, kSide, 2));
  std::vector<uint8_t> colours(1024);
  for (size_t i = 0; i < colours.size(); ++i)
    colours[i] = static_cast<uint8_t>(i * 5);
  TIndexedPicture shadow = {kSide, kSide, kSide, {shade.data(), shade.size()}};
  bool fancy = state.range(0) != 0;
  TComposeRequest request;
  request.Frame = {kSide, kSide, kSide, {frame.data(), frame.size()}};
  request.Shadow = fancy ? &shadow : nullptr;
  request.Colours = colours.data();
  request.Backdrop = fancy ? TBackdrop::Checkerboard : TBackdrop::Palette;
  request.Zoom = static_cast<uint32_t>(state.range(1));
  TComposedPicture picture;
  for (auto _ : state) {
    if (!ComposeFrame(request, picture)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(picture.Pixels.data());
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(ComposeBench)
    ->ArgNames({"checker_shadow", "zoom"})
    ->Args({1, 4})
    ->Args({0, 4})
    ->Args({1, 8})
    ->Unit(benchmark::kMicrosecond);
