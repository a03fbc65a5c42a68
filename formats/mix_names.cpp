#include "formats/mix_names.h"

#include <vector>

#include "formats/mix_ids.h"
#include "formats/mix_index.h"
#include "formats/mix_source.h"
#include "toolkit/base/le_bytes.h"

const char kMixNameTableName[] = "local mix database.dat";

namespace {

// A names file larger than this is refused rather than read into memory.
constexpr uint64_t kMaxNamesFileSize = 64u << 20;

void AddLines(const char* text, size_t size, TMixNames& names) {
  size_t start = 0;
  for (size_t i = 0; i <= size; ++i) {
    if (i < size && text[i] != '\n') continue;
    size_t end = i;
    if (end > start && text[end - 1] == '\r') --end;
    if (end > start) names.Add(std::string(text + start, end - start));
    start = i + 1;
  }
}

}  // namespace

void TMixNames::Add(const std::string& name) {
  byId_.emplace(TsId(name), name);
  byId_.emplace(TdId(name), name);
}

const std::string* TMixNames::Find(uint32_t id) const {
  auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : &found->second;
}

void ParseMixNameTable(const uint8_t* data, uint32_t size, TMixNames& names) {
  if (size < kMixNameTableHeaderSize) return;
  uint32_t count = ReadLe32(data + kMixNameTableHeaderSize - 4);
  uint32_t at = kMixNameTableHeaderSize;
  for (uint32_t n = 0; n < count && at < size; ++n) {
    uint32_t end = at;
    while (end < size && data[end] != 0)
      ++end;
    if (end == size) return;  // a name cut by the end of the table is no name
    if (end > at) names.Add(std::string(reinterpret_cast<const char*>(data + at), end - at));
    at = end + 1;
  }
}

bool ReadMixNameTable(const TMixSource& archive, const TMixIndex& index, TMixNames& names) {
  const uint32_t ids[] = {TsId(kMixNameTableName), TdId(kMixNameTableName)};
  for (const TMixEntry& entry : index.Entries) {
    if (entry.Id != ids[0] && entry.Id != ids[1]) continue;
    if (entry.Fault != TMixEntryFault::None || entry.Size > kMaxNameTableSize) continue;
    std::vector<uint8_t> table(entry.Size);
    if (!archive.ReadAt(index.EntryStart(entry), table.data(), entry.Size)) continue;
    ParseMixNameTable(table.data(), entry.Size, names);
    return true;
  }
  return false;
}

bool ReadMixNamesFile(const std::string& path, TMixNames& names) {
  TFileMixSource file(path);
  if (!file.IsOpen() || file.Size() > kMaxNamesFileSize) return false;
  std::vector<char> text(static_cast<size_t>(file.Size()));
  if (!file.ReadAt(0, text.data(), static_cast<uint32_t>(text.size()))) return false;
  AddLines(text.data(), text.size(), names);
  return true;
}

bool IsSafeEntryName(const std::string& name) {
  if (name.empty() || name == "." || name.find("..") != std::string::npos) return false;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}
