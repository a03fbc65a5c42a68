#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/mix_ids.h"

// One file to put into an archive: its name there and where its bytes are.
struct TMixFileIn {
  std::string Name;
  std::string Path;
};

// Writes a new-layout archive, unencrypted, flags 0: the files under IDs of
// `ids`, the index sorted by ID as a signed number (as the games search
// it), the bodies in index order, and a name table naming every file and
// itself last. The files are copied a piece at a time. Written through a
// temporary file; false with `error` set (naming the file at fault) when it
// could not be.
bool WriteMixArchive(const std::string& path, const std::vector<TMixFileIn>& files, TMixIdKind ids,
                     std::string& error);

// The bytes of the name table for these names, itself added last.
std::vector<uint8_t> MakeMixNameTable(const std::vector<std::string>& names);
