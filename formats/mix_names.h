#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

class TMixSource;
struct TMixIndex;

// The entry that names the others, and itself last.
extern const char kMixNameTableName[];
// Its header: a 32-byte text signature, then total size, type, version,
// game and name count as uint32.
constexpr uint32_t kMixNameTableHeaderSize = 52;
// Larger name tables are not read: 2,000 names take some 40 KB.
constexpr uint32_t kMaxNameTableSize = 16u << 20;

// Entry names by ID. Every name is entered under both hashes, since an
// archive does not say which one it uses; the first name for an ID stays.
class TMixNames {
 public:
  void Add(const std::string& name);
  // Null when the ID has no known name.
  const std::string* Find(uint32_t id) const;
  size_t Count() const { return byId_.size(); }

 private:
  std::unordered_map<uint32_t, std::string> byId_;
};

// Adds the names of the archive's own name table, when it has one that can
// be read; false when it has none.
bool ReadMixNameTable(const TMixSource& archive, const TMixIndex& index, TMixNames& names);
// Parses a name table's bytes: NUL-terminated names after the header, at
// most as many as its count says.
void ParseMixNameTable(const uint8_t* data, uint32_t size, TMixNames& names);

// Adds one name per line of a text file (LF or CR LF); false when it cannot
// be read.
bool ReadMixNamesFile(const std::string& path, TMixNames& names);

// Names come from the archive and are untrusted: only a plain file name
// may become a path. No "..", no slash or backslash, no drive letter (no
// colon at all), no control character, not empty and not ".".
bool IsSafeEntryName(const std::string& name);
