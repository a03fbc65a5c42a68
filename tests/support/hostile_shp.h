#pragma once

#include <cstdint>
#include <functional>
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

// 64 frames in a 64 x 64 box: honest coded frames from row `top` down (or,
// with `everyKind`, frames of kinds 0 to 3 in turn, with 0xCC upper bytes),
// and frames that re-read one long stretch of zero items (`rereading` picks
// them), so that the budget runs out early, late or not at all.
TBytes FramesThatReRead(const std::function<bool(uint32_t)>& rereading, uint16_t top = 0,
                        bool everyKind = false);
