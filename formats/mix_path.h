#pragma once

#include <cstdint>
#include <string>

// Where the bytes of a sprite are: a file of its own, or an entry of an
// archive, nested or not.
struct TMixLocation {
  std::string File;     // the file on disk
  bool Whole = true;    // the whole file; otherwise Offset and Size
  uint64_t Offset = 0;  // from the start of File
  uint64_t Size = 0;
  std::string EntryName;  // the entry's name, or its ID in hex
};

// True when the name ends in ".mix", in any case.
bool HasMixExtension(const std::string& path);

enum class TMixPathKind : uint8_t {
  File,    // not through an archive: the path names a file (or nothing)
  Entry,   // found inside an archive
  Failed,  // through an archive, but not found; `error` says why
};

// Resolves "ARCHIVE.mix/NAME", "main.mix/conquer.mix/e1.shp": the longest
// part of the path that names no file must start after a component ending
// in ".mix" (any case) that names one. Each NAME after it is an entry's
// name or its 8-digit hex ID; each but the last must read as an archive,
// at most kMaxMixNesting below the first.
TMixPathKind ResolveMixPath(const std::string& path, TMixLocation& at, std::string& error);
