#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TMixSource;

// What is wrong with one entry of an index that was read.
enum class TMixEntryFault : uint8_t {
  None,
  PastEnd,   // reaches past the end of the body, or of the file
  Overlaps,  // shares bytes with an entry that starts before it
};

struct TMixEntry {
  uint32_t Id = 0;
  uint32_t Offset = 0;  // from the start of the body
  uint32_t Size = 0;
  TMixEntryFault Fault = TMixEntryFault::None;
};

enum class TMixLayout : uint8_t { Old, New };

// The index of one archive, in file order, every entry checked against the
// bytes that are there.
struct TMixIndex {
  TMixLayout Layout = TMixLayout::New;
  bool Encrypted = false;
  bool Checksummed = false;  // a SHA-1 of the body follows it; not checked
  uint64_t BodyStart = 0;    // from the start of the archive
  uint32_t BodySize = 0;     // as the header says
  std::vector<TMixEntry> Entries;

  // The entry's first byte from the start of the archive.
  uint64_t EntryStart(const TMixEntry& entry) const { return BodyStart + entry.Offset; }
  bool AllEntriesInside() const;
};

// Old layout: a non-zero uint16 count first. New layout: a uint32 flags word
// whose low 16 bits are 0.
constexpr uint32_t kMixChecksumFlag = 0x00010000;
constexpr uint32_t kMixEncryptedFlag = 0x00020000;
constexpr uint32_t kMixEntrySize = 12;
constexpr uint32_t kMixChecksumSize = 20;

// Reads the index; false with `error` set when there is none: too short, an
// unknown flag, an index or a count the source cannot hold. Entries past the
// end or overlapping others are kept, marked with their fault.
bool ReadMixIndex(const TMixSource& source, TMixIndex& index, std::string& error);

// An archive, as `list --recursive` and `export` tell one: its index reads
// and every entry of it lies inside it.
bool IsMixArchive(const TMixSource& source);

// A valid sprite header: first uint16 0, width and height 1 to 4096, at
// least one frame, and the frame table inside the source.
bool HasSpriteHeader(const TMixSource& source);

// Nested archives are followed this many levels below the one given.
constexpr int kMaxMixNesting = 8;
