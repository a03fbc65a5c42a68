#include <windows.h>

#include "toolkit/base/page_block.h"

uint8_t* AllocateZeroedPages(size_t size) {
  return static_cast<uint8_t*>(
      VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void FreePages(uint8_t* block, size_t) {
  if (block) VirtualFree(block, 0, MEM_RELEASE);
}
