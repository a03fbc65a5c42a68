// The tools as fresh processes, as a user runs them: shptool info and
// shp2bmp on a 2,000-frame 120 x 120 coded sprite (28.8 MB of canvases),
// a batch export of 100 small sprites on both processors against one, and
// the peak memory of a PNG export. Wall time, each run a new process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "support/palette_text.h"
#include "support/shp_writer.h"
#include "support/test_files.h"

extern char** environ;

namespace {

constexpr uint16_t kSide = 120;
constexpr int kFrames = 2000;
constexpr int64_t kCanvasBytes = int64_t{kFrames} * kSide * kSide;

TBytes CodedSprite(uint16_t side, int count, uint32_t seed) {
  std::vector<TShpFrameIn> frames;
  for (int i = 0; i < count; ++i)
    frames.push_back(CodedFrame(0, 0, SpeckledRows(side, side, seed + static_cast<uint32_t>(i))));
  return EncodeShp(side, side, frames);
}

// The inputs, made once: the large sprite, a palette and 100 small sprites.
class TBenchFolder {
 public:
  TBenchFolder() {
    WriteFileBytes(Large(), CodedSprite(kSide, kFrames, 0));
    std::string palette = JascPaletteText({{1, 2, 3}, {250, 128, 0}});
    WriteFileBytes(Palette(), TBytes(palette.begin(), palette.end()));
    for (int i = 0; i < 100; ++i) {
      std::string name = dir_.File("small" + std::to_string(i) + ".shp");
      WriteFileBytes(name, CodedSprite(64, 24, static_cast<uint32_t>(i) * 100));
      smalls_.push_back(name);
    }
  }
  std::string Large() const { return dir_.File("large.shp"); }
  std::string Palette() const { return dir_.File("p.pal"); }
  const std::vector<std::string>& Smalls() const { return smalls_; }
  // A fresh output folder in memory (tmpfs) when there is one.
  std::string Output(const std::string& name) const {
    std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : dir_.Path();
    std::filesystem::path folder = base / ("skarnel_bench_" + std::to_string(getpid()) + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
  }

 private:
  TTempDir dir_;
  std::vector<std::string> smalls_;
};

const TBenchFolder& Folder() {
  static const TBenchFolder folder;
  return folder;
}

struct TChildRun {
  int Status = -1;
  double Seconds = 0;
};

// Runs a program with its output thrown away; its wall time.
TChildRun RunChild(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  TChildRun run;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// The peak memory, in KiB, that peak_rss tells for a run of a program.
long PeakOf(const std::vector<std::string>& args) {
  std::string command;
  for (const std::string& arg : args)
    command += "'" + arg + "' ";
  FILE* pipe = popen(command.c_str(), "r");
  int status = -1;
  long peak = 0;
  if (pipe && std::fscanf(pipe, "%d %ld", &status, &peak) != 2) peak = 0;
  if (pipe) pclose(pipe);
  return status == 0 ? peak : 0;
}

// Each iteration's time is the child's wall time.
void Measure(benchmark::State& state, const std::vector<std::string>& args) {
  for (auto _ : state) {
    TChildRun run = RunChild(args);
    if (run.Status != 0) state.SkipWithError("the program failed");
    state.SetIterationTime(run.Seconds);
  }
}

// Target: at least 2.5 GB/s of canvas bytes.
void FreshInfoBench(benchmark::State& state) {
  Measure(state, {SHPTOOL_PATH, "info", Folder().Large()});
  state.SetBytesProcessed(state.iterations() * kCanvasBytes);
}

// Target: at least 20,000 frames per second, into a folder in memory.
void FreshShp2BmpBench(benchmark::State& state) {
  std::string out = Folder().Output("bmp");
  Measure(state, {SHP2BMP_PATH, "--palette", Folder().Palette(), "--out", out, Folder().Large()});
  state.SetItemsProcessed(state.iterations() * kFrames);
  std::filesystem::remove_all(out);
}

// 100 small sprites as PNG: with both processors at most 0.6 times the
// time of one (taskset -c 0).
void BatchExportBench(benchmark::State& state) {
  std::string out = Folder().Output("batch");
  std::vector<std::string> args = {"export",    "--format",         "png",   "--quiet",
                                   "--palette", Folder().Palette(), "--out", out};
  args.insert(args.end(), Folder().Smalls().begin(), Folder().Smalls().end());
  std::vector<std::string> two = {SHPTOOL_PATH};
  two.insert(two.end(), args.begin(), args.end());
  std::vector<std::string> one = {"taskset", "-c", "0", SHPTOOL_PATH};
  one.insert(one.end(), args.begin(), args.end());
  Measure(state, state.range(0) ? two : one);
  state.SetItemsProcessed(state.iterations() * 100);
  std::filesystem::remove_all(out);
}

// Peak resident memory of a PNG export of the large sprite, against the
// target: the file's size + 4 x its canvas + 32 MiB.
void PngExportPeakBench(benchmark::State& state) {
  std::string out = Folder().Output("png");
  std::vector<std::string> args = {SHPTOOL_PATH, "export",    "--format",
                                   "png",        "--palette", Folder().Palette(),
                                   "--out",      out,         Folder().Large()};
  Measure(state, args);
  // Measured apart: a process started from this large one is charged its memory.
  args.insert(args.begin(), PEAK_RSS_PATH);
  long peak = PeakOf(args);
  double target = double(std::filesystem::file_size(Folder().Large())) + 4.0 * kSide * kSide +
                  32.0 * 1024 * 1024;
  state.counters["peak_MiB"] = double(peak) / 1024;
  state.counters["target_MiB"] = target / (1024 * 1024);
  std::filesystem::remove_all(out);
}

}  // namespace

BENCHMARK(FreshInfoBench)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FreshShp2BmpBench)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BatchExportBench)
    ->ArgName("both_cores")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PngExportPeakBench)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
