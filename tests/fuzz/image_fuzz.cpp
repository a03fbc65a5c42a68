#include <cstddef>
#include <cstdint>
#include <random>

#include "fuzz/fuzz_entries.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

// The BMP header fields whose values pick the reader's paths: offset in the
// file and width in bytes.
struct TField {
  uint32_t Offset;
  uint32_t Bytes;
};
constexpr TField kFields[] = {
    {10, 4},  // bfOffBits
    {14, 4},  // info header size
    {18, 4},  // width
    {22, 4},  // height
    {26, 2},  // planes
    {28, 2},  // bits per pixel
    {30, 4},  // compression
    {46, 4},  // colours used
    {54, 4},  // first mask after a 40-byte header
};

// Values at the edges of what the reader checks.
constexpr uint32_t kEdges[] = {0,   1,   2,    3,      4,       8,          12,         16,
                               24,  32,  40,   52,     56,      108,        124,        255,
                               256, 257, 1078, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

void PutField(uint8_t* data, const TField& field, uint32_t value) {
  for (uint32_t i = 0; i < field.Bytes; ++i)
    data[field.Offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t FieldValue(const uint8_t* data, const TField& field) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < field.Bytes; ++i)
    value |= uint32_t{data[field.Offset + i]} << (8 * i);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInputImage(data, size);
  return 0;
}

// Half the time a BMP gets one header field set to an edge value or moved a
// little, so that planes, sizes, offsets and colour counts are explored
// without breaking the rest of the file; otherwise libFuzzer's own mutations.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
  std::minstd_rand random(seed);
  bool bmp = size >= 2 && data[0] == 'B' && data[1] == 'M';
  if (!bmp || random() % 2 == 0) return LLVMFuzzerMutate(data, size, maxSize);
  const TField& field = kFields[random() % std::size(kFields)];
  if (field.Offset + field.Bytes > size) return LLVMFuzzerMutate(data, size, maxSize);
  uint32_t value = random() % 2 ? kEdges[random() % std::size(kEdges)]
                                : FieldValue(data, field) + static_cast<uint32_t>(random() % 9) - 4;
  PutField(data, field, value);
  return size;
}
