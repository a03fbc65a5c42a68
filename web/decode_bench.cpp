// Times the page's sprite loading, warm, on one thread: the same source runs
// natively and as WebAssembly under node, so the two can be set side by side.
//   decode_bench FILE.shp [REPETITIONS]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "web/skarnel_web.h"

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
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i)
      SkarnelLoadSprite(argv[1]);
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    if (spent.count() / repetitions < best) best = spent.count() / repetitions;
  }
  std::printf("%.1f us per load\n", best);
  return 0;
}
