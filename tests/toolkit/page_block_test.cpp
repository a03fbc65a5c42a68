#include <gtest/gtest.h>

#include <algorithm>

#include "toolkit/base/page_block.h"

namespace {

// Small blocks, blocks around a large page and large ones are zero and
// writable from their first byte to their last, however often made again.
TEST(PageBlock, BlocksAreZeroAndWritableToTheirEnds) {
  const size_t largePage = size_t{2} << 20;
  for (size_t size : {size_t{1}, size_t{4095}, size_t{4097}, largePage - 1, largePage,
                      largePage + 1, 2 * largePage - 1, 5 * largePage + 123}) {
    for (int round = 0; round < 3; ++round) {
      uint8_t* block = AllocateZeroedPages(size);
      ASSERT_NE(block, nullptr) << size;
      EXPECT_EQ(std::count(block, block + size, uint8_t{0}), static_cast<ptrdiff_t>(size)) << size;
      block[0] = 1;
      block[size - 1] = 2;
      FreePages(block, size);
    }
  }
}

}  // namespace
