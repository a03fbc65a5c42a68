#include <sys/mman.h>

#include <cstdint>

#include "toolkit/base/page_block.h"

namespace {

// The system backs only whole, aligned large pages with large pages, and
// small pages cost far more to hand out: a large block is made of whole
// large pages, aligned. The unused end is never touched.
constexpr size_t kLargePage = size_t{2} << 20;

size_t RoundUp(size_t size, size_t unit) {
  return (size + unit - 1) / unit * unit;
}

size_t BlockSize(size_t size) {
  return size >= kLargePage ? RoundUp(size, kLargePage) : size;
}

}  // namespace

uint8_t* AllocateZeroedPages(size_t size) {
  const size_t blockSize = BlockSize(size);
  // Mapped with a large page to spare, then trimmed to start on one.
  const bool large = size >= kLargePage;
  const size_t mapped = large ? blockSize + kLargePage : size;
  void* area = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return nullptr;
  auto* block = static_cast<uint8_t*>(area);
  if (large) {
    auto start = reinterpret_cast<uintptr_t>(block);
    size_t head = RoundUp(start, kLargePage) - start;
    if (head != 0) ::munmap(block, head);
    if (head + blockSize < mapped) ::munmap(block + head + blockSize, mapped - head - blockSize);
    block += head;
  }
#ifdef MADV_HUGEPAGE
  ::madvise(block, blockSize, MADV_HUGEPAGE);  // only advice: small pages work as well
#endif
  return block;
}

void FreePages(uint8_t* block, size_t size) {
  if (block) ::munmap(block, BlockSize(size));
}
