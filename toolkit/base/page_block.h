#pragma once

#include <cstddef>
#include <cstdint>

// Large zero-filled blocks straight from the system, one small file per
// platform (page_block_posix.cpp, page_block_win32.cpp). The pages are zero
// without being written, and the system may back them with large pages, so
// touching a block for the first time costs far fewer page faults than
// many small heap blocks do.

// Null when the system has no room.
uint8_t* AllocateZeroedPages(size_t size);
// `size` as it was allocated.
void FreePages(uint8_t* block, size_t size);
