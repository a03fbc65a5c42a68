#include <cstddef>
#include <cstdint>

#include "fuzz/mix_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzMixArchive(data, size);
  return 0;
}
