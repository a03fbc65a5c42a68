// Speed of LoadShpFile, BuildBitmaps and encoding on synthetic sprites of
// 1000 frames of 128 x 128, about half of each frame colour 0, run-length
// coded or raw. Throughput is counted in canvas bytes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "format_shp/shp.h"
#include "format_shp/shp_encode.h"
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

// One load as a program run meets it: a file this process has not read
// before, a new sprite, and memory the allocator has handed back to the
// system, so every canvas page is touched for the first time. Wall time.
void ColdLoadBench(benchmark::State& state) {
  const TBenchSprite& sprite = Sprite(state.range(0) != 0);
  const TBytes bytes = ReadFileBytes(sprite.Path());
  TTempDir dir;
  int copy = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = dir.File("cold" + std::to_string(copy++) + ".shp");
    WriteFileBytes(path, bytes);
    malloc_trim(0);
    state.ResumeTiming();
    TShp* shp = new TShp();
    shp->LoadShpFile(path.c_str());
    benchmark::DoNotOptimize(shp->FrameAt(kFrames - 1)->Canvas->Block);
    state.PauseTiming();
    if (shp->FrameCount != kFrames || !shp->LoadReport.IsClean()) state.SkipWithError("bad load");
    Free(shp);
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * kCanvasBytes);
}

// Encoding the frames of a sprite from W x H images, each packed the smaller
// way, into the bytes of a file (its header and table, and its data).
void EncodeBench(benchmark::State& state) {
  std::vector<TBytes> images;
  for (int i = 0; i < kFrames; ++i) {
    TBytes pixels;
    for (const TBytes& row : SpeckledRows(kSide, kSide, static_cast<uint32_t>(i)))
      pixels.insert(pixels.end(), row.begin(), row.end());
    images.push_back(std::move(pixels));
  }
  for (auto _ : state) {
    TShpEncoder encoder;
    encoder.Reserve(kFrames, kSide, kSide);
    for (const TBytes& image : images)
      encoder.AddFrame(FrameOfImage(image.data(), kSide, kSide, kSide, TShpPacking::Smaller));
    std::vector<uint8_t> head = encoder.HeaderAndTable(kSide, kSide);
    benchmark::DoNotOptimize(head.data());
    benchmark::DoNotOptimize(encoder.Data().data());
  }
  state.SetBytesProcessed(state.iterations() * kCanvasBytes);
}

}  // namespace

BENCHMARK(ColdLoadBench)
    ->ArgName("coded")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(EncodeBench)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadShpFileBench)->ArgName("coded")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildBitmapsBench)->ArgName("coded")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
