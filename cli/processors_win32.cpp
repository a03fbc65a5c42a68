#include <windows.h>

#include <bit>

#include "cli/processors.h"

unsigned UsableProcessors() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return 1;
  int count = std::popcount(static_cast<unsigned long long>(process));
  return count > 0 ? static_cast<unsigned>(count) : 1;
}
