#include "formats/mix_path.h"

#include <vector>

#include "formats/mix_ids.h"
#include "formats/mix_index.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"
#include "formats/mix_walk.h"
#include "toolkit/base/file_io.h"

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

bool NamesAFile(const std::string& path) {
  TFileHandle file = OpenFileForReading(path.c_str());
  if (file == kInvalidFileHandle) return false;
  CloseFile(file);
  return true;
}

std::vector<std::string> Components(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsSeparator(text[i])) continue;
    if (i > start) parts.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

// The entry called `wanted` (a name under either hash, or an ID); null when
// there is none.
const TMixEntry* FindEntry(const TMixIndex& index, const std::string& wanted) {
  uint32_t ts = TsId(wanted), td = TdId(wanted);
  for (const TMixEntry& entry : index.Entries) {
    if (entry.Id == ts || entry.Id == td) return &entry;
  }
  std::optional<uint32_t> id = ParseMixId(wanted);
  for (const TMixEntry& entry : index.Entries) {
    if (id && entry.Id == *id) return &entry;
  }
  return nullptr;
}

// Follows the names through the archive at the start of `file`.
bool FindInside(const TFileMixSource& file, const std::string& archivePath,
                const std::vector<std::string>& names, TMixLocation& at, std::string& error) {
  uint64_t start = 0, size = file.Size();
  std::string where = archivePath;
  if (names.empty()) {
    error = where + ": no entry named after it";
    return false;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > static_cast<size_t>(kMaxMixNesting)) {
      error = where + ": archives nested deeper than this are not followed";
      return false;
    }
    TSliceMixSource archive(file, start, size);
    TMixIndex index;
    if (!ReadMixIndex(archive, index, error)) {
      error = where + ": " + error;
      return false;
    }
    const TMixEntry* entry = FindEntry(index, names[i]);
    if (!entry) {
      error = where + ": has no entry " + names[i];
      return false;
    }
    if (entry->Fault != TMixEntryFault::None) {
      error = where + ": entry " + names[i] + ": " + MixFaultText(entry->Fault);
      return false;
    }
    TMixNames known;
    ReadMixNameTable(archive, index, known);
    const std::string* name = known.Find(entry->Id);
    at.EntryName = name && IsSafeEntryName(*name) ? *name : MixIdText(entry->Id);
    start += index.EntryStart(*entry);
    size = entry->Size;
    where += "/" + names[i];
  }
  at.Offset = start;
  at.Size = size;
  return true;
}

}  // namespace

bool HasMixExtension(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".mix";
}

TMixPathKind ResolveMixPath(const std::string& path, TMixLocation& at, std::string& error) {
  at = TMixLocation();
  at.File = path;
  if (NamesAFile(path)) return TMixPathKind::File;
  for (size_t i = 0; i < path.size(); ++i) {
    if (!IsSeparator(path[i])) continue;
    std::string prefix = path.substr(0, i);
    if (!HasMixExtension(prefix)) continue;
    TFileMixSource file(prefix);
    if (!file.IsOpen()) continue;
    at.File = prefix;
    at.Whole = false;
    return FindInside(file, prefix, Components(path.substr(i + 1)), at, error)
               ? TMixPathKind::Entry
               : TMixPathKind::Failed;
  }
  return TMixPathKind::File;
}
