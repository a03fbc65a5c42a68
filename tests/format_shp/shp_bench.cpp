// Speed of LoadShpFile, BuildBitmaps and encoding on synthetic sprites of
// 1000 frames of 128 x 128, about half of each frame colour 0, run-length
// coded or raw; and of PNG export of the demo sprites, at the default
// compression level. Throughput is counted in canvas bytes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

#include "app/demo/demo_folder.h"
#include "format_shp/shp_picture.h"
#include "format_shp/shp.h"
#include "format_shp/shp_encode.h"
#include "formats/palette_file.h"
#include "formats/png_writer.h"
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
    std::vector<TShpFrameIn> frames;
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
    if (state.range(1) == 1) shp->TwoThreadCanvasBytes = UINT64_MAX;
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

// The demo sprites loaded with the Demo.pal colours, as shptool export has
// them before writing.
class TDemoSprites {
 public:
  TDemoSprites() {
    uint8_t colours[kColourTableSize] = {};
    for (const TDemoFile& file : DemoFiles()) {
      if (file.Name == "Demo.pal")
        ReadJascPaletteText(file.Bytes.data(), file.Bytes.size(), colours);
    }
    for (const TDemoFile& file : DemoFiles()) {
      if (!file.Name.ends_with(".shp")) continue;
      WriteFileBytes(dir_.File(file.Name), file.Bytes);
      TShp* sprite = new TShp();
      sprite->LoadShpFile(dir_.File(file.Name).c_str());
      sprite->SetPalette(colours);
      CanvasBytes += int64_t{sprite->FrameCount} * sprite->Width * sprite->Height;
      Sprites.emplace_back(sprite, [](TShp* shp) { Free(shp); });
    }
  }

  std::vector<std::unique_ptr<TShp, void (*)(TShp*)>> Sprites;
  int64_t CanvasBytes = 0;

 private:
  TTempDir dir_;
};

// Every frame of every demo sprite encoded as shptool export --format png
// encodes it, into memory: the one write of each file that follows is the
// file system's speed, not ours.
void PngExportDemoBench(benchmark::State& state) {
  static const TDemoSprites demo;
  TImageBytes png;
  bool encoded = true;
  size_t pngBytes = 0;
  for (auto _ : state) {
    pngBytes = 0;
    for (const auto& sprite : demo.Sprites) {
      for (int32_t i = 0; i < sprite->FrameCount; ++i) {
        encoded &= EncodeIndexedPng(FramePicture(*sprite, i), sprite->Palette, false, png);
        pngBytes += png.size();
      }
    }
  }
  if (!encoded || demo.Sprites.size() != 4) state.SkipWithError("bad export");
  state.SetBytesProcessed(state.iterations() * demo.CanvasBytes);
  state.counters["png_bytes"] = static_cast<double>(pngBytes);
}

}  // namespace

BENCHMARK(ColdLoadBench)
    ->ArgNames({"coded", "threads"})
    ->Args({1, 2})
    ->Args({0, 2})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(EncodeBench)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadShpFileBench)
    ->ArgName("coded")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();  // a second decoding thread's time is not the caller's
BENCHMARK(BuildBitmapsBench)->ArgName("coded")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK(PngExportDemoBench)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
