#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "formats/mix_index.h"

class TMixSource;
class TMixNames;

// One entry met on a walk through an archive and the archives nested in it.
struct TMixVisit {
  TMixEntry Entry;
  uint64_t Start = 0;  // its first byte, from the start of the outermost source
  int Depth = 0;       // 0 for the entries of the outermost archive
  std::string Name;    // empty when not known
  // Inside the outermost archive: "e1.shp", "conquer.mix/e1.shp"; an
  // unknown name is "?", an unknown archive's name its ID.
  std::string Path;
  // What a file made of it is named after: its name, or its ID.
  std::string Label;
  bool IsArchive = false;  // told only when the walk classifies
  bool IsSprite = false;
};

struct TMixWalk {
  bool Recursive = false;                 // visit nested archives' entries after them
  bool Classify = false;                  // tell archives and sprites even without Recursive
  const TMixNames* ExtraNames = nullptr;  // --names, beside each archive's own table
  std::function<void(const TMixVisit&)> Visit;
  // A faulty entry (it is still visited), or a nested archive not followed.
  std::function<void(const std::string& path, const std::string& text)> Fault;
};

// Walks the archive's entries in index order; false with `error` when its
// own index cannot be read.
bool WalkMixArchive(const TMixSource& archive, const TMixWalk& walk, std::string& error);

// The text for an entry's fault, for messages.
std::string MixFaultText(TMixEntryFault fault);
