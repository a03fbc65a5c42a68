#include "formats/mix_index.h"

#include <algorithm>
#include <memory>

#include "formats/mix_key.h"
#include "formats/mix_source.h"
#include "toolkit/base/le_bytes.h"

namespace {

constexpr uint32_t kKnownFlags = kMixChecksumFlag | kMixEncryptedFlag;
constexpr uint32_t kCountAndBodySize = 6;  // uint16 count, uint32 body size

// Reads `count` entries of 12 bytes from `table`.
void ParseEntries(const uint8_t* table, uint32_t count, TMixIndex& index) {
  index.Entries.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = table + i * kMixEntrySize;
    index.Entries[i] = TMixEntry{ReadLe32(e), ReadLe32(e + 4), ReadLe32(e + 8)};
  }
}

// The body's bytes that are really there: the header's body size, cut by
// the end of the source (and the checksum after it).
uint64_t BodyPresent(const TMixIndex& index, uint64_t sourceSize) {
  uint64_t end = sourceSize - std::min(sourceSize, index.BodyStart);
  if (index.Checksummed) end -= std::min<uint64_t>(end, kMixChecksumSize);
  return std::min<uint64_t>(index.BodySize, end);
}

void MarkFaults(TMixIndex& index, uint64_t sourceSize) {
  uint64_t body = BodyPresent(index, sourceSize);
  std::vector<TMixEntry*> byOffset;
  for (TMixEntry& entry : index.Entries) {
    entry.Fault =
        uint64_t{entry.Offset} + entry.Size > body ? TMixEntryFault::PastEnd : TMixEntryFault::None;
    if (entry.Fault == TMixEntryFault::None && entry.Size > 0) byOffset.push_back(&entry);
  }
  std::stable_sort(byOffset.begin(), byOffset.end(),
                   [](const TMixEntry* a, const TMixEntry* b) { return a->Offset < b->Offset; });
  uint64_t reached = 0;  // the end of the entries so far, in offset order
  for (TMixEntry* entry : byOffset) {
    uint64_t end = uint64_t{entry->Offset} + entry->Size;
    if (entry->Offset < reached) entry->Fault = TMixEntryFault::Overlaps;
    reached = std::max(reached, end);
  }
}

// The plain table at `at`: count and body size, then the entries.
bool ReadPlainTable(const TMixSource& source, uint64_t at, TMixIndex& index, std::string& error) {
  uint8_t head[kCountAndBodySize];
  if (!source.ReadAt(at, head, kCountAndBodySize)) {
    error = "too short for an archive header";
    return false;
  }
  uint32_t count = ReadLe16(head);
  index.BodySize = ReadLe32(head + 2);
  uint64_t tableSize = uint64_t{count} * kMixEntrySize;
  index.BodyStart = at + kCountAndBodySize + tableSize;
  if (index.BodyStart > source.Size()) {
    error = "its index of " + std::to_string(count) + " entries is longer than the file";
    return false;
  }
  std::vector<uint8_t> table(static_cast<size_t>(tableSize));
  if (!source.ReadAt(at + kCountAndBodySize, table.data(), static_cast<uint32_t>(tableSize))) {
    error = "cannot read its index";
    return false;
  }
  ParseEntries(table.data(), count, index);
  return true;
}

// Key source at `at`, then the enciphered table in whole blocks.
bool ReadEncryptedTable(const TMixSource& source, uint64_t at, TMixIndex& index,
                        std::string& error) {
  uint8_t keySource[kMixKeySourceSize];
  uint8_t first[kMixBlockSize];
  if (!source.ReadAt(at, keySource, kMixKeySourceSize) ||
      !source.ReadAt(at + kMixKeySourceSize, first, kMixBlockSize)) {
    error = "too short for an encrypted archive header";
    return false;
  }
  uint8_t key[kMixKeySize];
  MixKeyOfSource(keySource, key);
  TMixCipher cipher(key);
  cipher.Decrypt(first, kMixBlockSize);
  uint32_t count = ReadLe16(first);
  index.BodySize = ReadLe32(first + 2);
  uint64_t tableSize = kCountAndBodySize + uint64_t{count} * kMixEntrySize;
  uint64_t padded = (tableSize + kMixBlockSize - 1) / kMixBlockSize * kMixBlockSize;
  uint64_t tableStart = at + kMixKeySourceSize;
  index.BodyStart = tableStart + padded;
  if (index.BodyStart > source.Size()) {
    error = "its index of " + std::to_string(count) + " entries is longer than the file";
    return false;
  }
  std::vector<uint8_t> table(static_cast<size_t>(padded));
  if (!source.ReadAt(tableStart, table.data(), static_cast<uint32_t>(padded))) {
    error = "cannot read its index";
    return false;
  }
  cipher.Decrypt(table.data(), static_cast<uint32_t>(padded));
  ParseEntries(table.data() + kCountAndBodySize, count, index);
  return true;
}

}  // namespace

bool TMixIndex::AllEntriesInside() const {
  return std::all_of(Entries.begin(), Entries.end(),
                     [](const TMixEntry& e) { return e.Fault != TMixEntryFault::PastEnd; });
}

bool ReadMixIndex(const TMixSource& source, TMixIndex& index, std::string& error) {
  index = TMixIndex();
  uint8_t start[4];
  if (!source.ReadAt(0, start, 2)) {
    error = "too short for an archive";
    return false;
  }
  bool read;
  if (ReadLe16(start) != 0) {
    index.Layout = TMixLayout::Old;
    read = ReadPlainTable(source, 0, index, error);
  } else {
    if (!source.ReadAt(0, start, 4)) {
      error = "too short for an archive";
      return false;
    }
    uint32_t flags = ReadLe32(start);
    if ((flags & ~kKnownFlags) != 0) {
      error = "not an archive: unknown flags in its header";
      return false;
    }
    index.Layout = TMixLayout::New;
    index.Checksummed = (flags & kMixChecksumFlag) != 0;
    index.Encrypted = (flags & kMixEncryptedFlag) != 0;
    read = index.Encrypted ? ReadEncryptedTable(source, 4, index, error)
                           : ReadPlainTable(source, 4, index, error);
  }
  if (!read) return false;
  MarkFaults(index, source.Size());
  return true;
}

bool IsMixArchive(const TMixSource& source) {
  TMixIndex index;
  std::string error;
  return ReadMixIndex(source, index, error) && index.AllEntriesInside();
}

bool HasSpriteHeader(const TMixSource& source) {
  uint8_t header[8];
  if (!source.ReadAt(0, header, sizeof header)) return false;
  uint32_t width = ReadLe16(header + 2), height = ReadLe16(header + 4);
  uint32_t frames = ReadLe16(header + 6);
  auto inBox = [](uint32_t side) { return side >= 1 && side <= 4096; };
  return ReadLe16(header) == 0 && inBox(width) && inBox(height) && frames >= 1 &&
         8 + uint64_t{frames} * 24 <= source.Size();
}
