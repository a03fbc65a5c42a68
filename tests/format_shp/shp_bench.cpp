// Speed of LoadShpFile and BuildBitmaps on synthetic sprites of 1000 frames
// of 128 x 128, about half of each frame colour 0, run-length coded or raw.
// Throughput is counted in canvas bytes.
#include <benchmark/benchmark.h>

#include "format_shp/shp.h"
#include "support/bmp_image.h"
#include "support/shp_writer.h"
#include "support/test_files.h"

namespace {

constexpr uint16_t kSide = 128;
constexpr int kFrames = 1000;
constexpr int64_t kCanvasBytes = int64_t{kFrames} * kSide * kSide;

// The sprite file, written once per kind for the whole run.
class TBenchSprite {
 public:
  explicit TBenchSprite(bool coded) {
    std::vector<TShpFrameSpec> frames;
    for (int i = 0; i < kFrames; ++i) {
      std::vector<TBytes> rows = SpeckledRows(kSide, kSide, static_cast<uint32_t>(i));
      frames.push_back(coded ? CodedFrame(0, 0, rows) : RawFrame(0, 0, rows));
    }
    path_ = dir_.File(coded ? "coded.shp" : "raw.shp");
    WriteFileBytes(path_, EncodeShp(kSide, kSide, frames));
  }
  const char* Path() const { return path_.c_str(); }

 private:
  TTempDir dir_;
  std::string path_;
};

const TBenchSprite& Sprite(bool coded) {
  static const TBenchSprite codedSprite(true);
  static const TBenchSprite rawSprite(false);
  return coded ? codedSprite : rawSprite;
}

void LoadShpFileBench(benchmark::State& state) {
  const TBenchSprite& sprite = Sprite(state.range(0) != 0);
  TShp* shp = new TShp();
  for (auto _ : state) {
    shp->LoadShpFile(sprite.Path());
    benchmark::DoNotOptimize(shp->FrameAt(kFrames - 1)->Canvas->Block);
  }
  if (shp->FrameCount != kFrames || !shp->LoadReport.IsClean()) state.SkipWithError("bad load");
  state.SetBytesProcessed(state.iterations() * kCanvasBytes);
  Free(shp);
}

void BuildBitmapsBench(benchmark::State& state) {
  const TBenchSprite& sprite = Sprite(state.range(0) != 0);
  TShp* shp = new TShp();
  shp->LoadShpFile(sprite.Path());
  shp->SetPalette(TestPalette().data());
  for (auto _ : state) {
    shp->BuildBitmaps();
    benchmark::DoNotOptimize(shp->FrameAt(kFrames - 1)->Bitmap->Bits);
  }
  if (shp->GetFrameBitmap(kFrames - 1)->Width != kSide) state.SkipWithError("bad build");
  state.SetBytesProcessed(state.iterations() * kCanvasBytes);
  Free(shp);
}

}  // namespace

BENCHMARK(LoadShpFileBench)->ArgName("coded")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildBitmapsBench)->ArgName("coded")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
