#include <sys/mman.h>

#include "toolkit/base/page_block.h"

uint8_t* AllocateZeroedPages(size_t size) {
  void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
  ::madvise(block, size, MADV_HUGEPAGE);  // only advice: small pages work as well
#endif
  return static_cast<uint8_t*>(block);
}

void FreePages(uint8_t* block, size_t size) {
  if (block) ::munmap(block, size);
}
