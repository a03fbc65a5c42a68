// Writes the demo palettes and sprites into a folder (the current one by
// default):  make_demo [folder]
#include <cstdio>
#include <exception>

#include "app/demo/demo_folder.h"

int main(int argc, char** argv) {
  const char* folder = argc > 1 ? argv[1] : ".";
  try {
    WriteDemoFolder(folder);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_demo: %s\n", error.what());
    return 1;
  }
  return 0;
}
