#include "formats/mix_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

#include "formats/mix_index.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/le_bytes.h"
#include "toolkit/base/write_through.h"

namespace {

// Ours: readers ignore the signature.
constexpr char kSignature[] = "Skarnel name table";
// What the archive reader can open again: the file layer's limit.
constexpr uint64_t kLargestArchive = std::numeric_limits<int32_t>::max();

// One index entry and where its bytes come from: a file, or the name table.
struct TPlanned {
  int32_t Id = 0;  // signed: the order of the index
  uint32_t Size = 0;
  const TMixFileIn* File = nullptr;
};

bool WriteAll(TFileHandle out, const uint8_t* data, uint32_t size) {
  return size == 0 || WriteToFile(out, data, size) == size;
}

std::vector<uint8_t> IndexBytes(const std::vector<TPlanned>& planned, uint32_t bodySize) {
  std::vector<uint8_t> header(10 + planned.size() * kMixEntrySize);
  WriteLe32(header.data(), 0);  // flags
  WriteLe16(header.data() + 4, static_cast<uint16_t>(planned.size()));
  WriteLe32(header.data() + 6, bodySize);
  uint32_t offset = 0;
  uint8_t* e = header.data() + 10;
  for (const TPlanned& p : planned) {
    WriteLe32(e, static_cast<uint32_t>(p.Id));
    WriteLe32(e + 4, offset);
    WriteLe32(e + 8, p.Size);
    offset += p.Size;
    e += kMixEntrySize;
  }
  return header;
}

// Sizes and IDs of every file; false with `error` for one that cannot be
// read, a name already taken, or an archive too large.
bool Plan(const std::vector<TMixFileIn>& files, TMixIdKind ids, uint32_t tableSize,
          std::vector<TPlanned>& planned, std::string& error) {
  std::map<int32_t, std::string> taken;
  taken[static_cast<int32_t>(MixId(ids, kMixNameTableName))] = kMixNameTableName;
  planned.push_back({static_cast<int32_t>(MixId(ids, kMixNameTableName)), tableSize, nullptr});
  uint64_t total = tableSize;
  for (const TMixFileIn& file : files) {
    TFileMixSource source(file.Path);
    if (!source.IsOpen()) {
      error = file.Path + ": cannot read it";
      return false;
    }
    int32_t id = static_cast<int32_t>(MixId(ids, file.Name));
    auto [other, isNew] = taken.emplace(id, file.Name);
    if (!isNew) {
      error = file.Path + ": its name " + file.Name + " has the ID of " + other->second;
      return false;
    }
    total += source.Size();
    planned.push_back({id, static_cast<uint32_t>(source.Size()), &file});
  }
  if (planned.size() > 0xFFFF || total + 10 + planned.size() * kMixEntrySize > kLargestArchive) {
    error = "too many files or bytes for one archive";
    return false;
  }
  std::sort(planned.begin(), planned.end(),
            [](const TPlanned& a, const TPlanned& b) { return a.Id < b.Id; });
  return true;
}

// The file's bytes, which must still be as many as planned.
bool CopyFile(TFileHandle out, const TPlanned& p, std::string& error) {
  TFileMixSource source(p.File->Path);
  bool copied = source.IsOpen() && source.Size() == p.Size &&
                CopyMixRange(source, 0, p.Size, [&](const uint8_t* data, uint32_t size) {
                  return WriteAll(out, data, size);
                });
  if (!copied) error = p.File->Path + ": cannot read it, or it changed while being read";
  return copied;
}

}  // namespace

std::vector<uint8_t> MakeMixNameTable(const std::vector<std::string>& names) {
  std::vector<uint8_t> table(kMixNameTableHeaderSize);
  std::memcpy(table.data(), kSignature, sizeof kSignature);
  for (const std::string& name : names)
    table.insert(table.end(), name.c_str(), name.c_str() + name.size() + 1);
  table.insert(table.end(), kMixNameTableName,
               kMixNameTableName + std::strlen(kMixNameTableName) + 1);
  WriteLe32(table.data() + 32, static_cast<uint32_t>(table.size()));
  // type, version and game stay 0
  WriteLe32(table.data() + 48, static_cast<uint32_t>(names.size() + 1));
  return table;
}

bool WriteMixArchive(const std::string& path, const std::vector<TMixFileIn>& files, TMixIdKind ids,
                     std::string& error) {
  std::vector<std::string> names;
  for (const TMixFileIn& file : files)
    names.push_back(file.Name);
  std::vector<uint8_t> table = MakeMixNameTable(names);
  std::vector<TPlanned> planned;
  if (!Plan(files, ids, static_cast<uint32_t>(table.size()), planned, error)) return false;
  uint64_t bodySize = 0;
  for (const TPlanned& p : planned)
    bodySize += p.Size;
  std::vector<uint8_t> index = IndexBytes(planned, static_cast<uint32_t>(bodySize));

  bool written = WriteThroughTemporary(path, [&](TByteStream* file) {
    TFileHandle out = file->FileHandle;
    bool ok = WriteAll(out, index.data(), static_cast<uint32_t>(index.size()));
    for (size_t i = 0; ok && i < planned.size(); ++i) {
      const TPlanned& p = planned[i];
      ok = p.File ? CopyFile(out, p, error) : WriteAll(out, table.data(), p.Size);
    }
    return ok;
  });
  if (!written && error.empty()) error = path + ": cannot write it";
  return written;
}
