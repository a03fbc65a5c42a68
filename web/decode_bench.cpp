// Times the page's sprite loading, warm, on one thread: the same source runs
// natively and as WebAssembly under node, so the two can be set side by side.
// Prints the microseconds of a whole load (the file opened, its table read
// and every frame decoded) and of the decoding alone (every frame of the
// open file decoded again).
//   decode_bench FILE.shp [REPETITIONS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>

#include "format_shp/frame_stream.h"
#include "web/skarnel_web.h"

namespace {

// The best of five rounds, in microseconds per repetition.
double BestOf(int repetitions, const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i)
      work();
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    if (spent.count() / repetitions < best) best = spent.count() / repetitions;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: decode_bench FILE.shp [REPETITIONS]\n");
    return 2;
  }
  int repetitions = argc > 2 ? std::atoi(argv[2]) : 200;
  if (SkarnelLoadSprite(argv[1]) < 0) {  // warms the caches and the allocator
    std::fprintf(stderr, "decode_bench: %s was refused\n", argv[1]);
    return 1;
  }
  double load = BestOf(repetitions, [&] { SkarnelLoadSprite(argv[1]); });
  TShpFrameStream frames;
  frames.Open(argv[1]);
  double decode =
      BestOf(repetitions, [&] { frames.Survey(std::numeric_limits<uint64_t>::max()); });
  std::printf("%.1f us per load, %.1f us per decode\n", load, decode);
  return 0;
}
