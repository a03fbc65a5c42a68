#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as an archive: its index (old, new or encrypted layout),
// its name table, every nested archive a walk follows, and every entry's
// bytes. Aborts when an entry it hands out lies outside the input.
void FuzzMixArchive(const uint8_t* data, size_t size);
