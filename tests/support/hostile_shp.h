#pragma once

#include <string>
#include <vector>

#include "support/test_files.h"

// A named file of the hostile corpus.
struct THostileFile {
  std::string Name;
  TBytes Bytes;
};

// Damaged and hostile SHP files, made deterministically from a valid sprite
// with run-length, raw and pixel-less frames: the file cut at every byte,
// bit flips, huge and zero dimensions, frame counts that the file cannot
// hold, data offsets pointing anywhere (past the end, into the headers, all
// frames at one place), run-length rows that never reach their width, and
// garbage of several lengths.
std::vector<THostileFile> HostileShpCorpus();
