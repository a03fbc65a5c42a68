#include "fuzz/mix_fuzz_entry.h"

#include <cstdlib>

#include "formats/mix_index.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"
#include "formats/mix_walk.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

void FuzzMixArchive(const uint8_t* data, size_t size) {
  TMemoryMixSource source(data, size);
  TMixIndex index;
  std::string error;
  if (!ReadMixIndex(source, index, error)) return;
  Check(index.BodyStart <= size);
  TMixNames names;
  ReadMixNameTable(source, index, names);

  uint64_t copied = 0;
  TMixWalk walk;
  walk.Recursive = true;
  walk.Visit = [&](const TMixVisit& v) {
    Check(v.Depth <= kMaxMixNesting);
    if (v.Entry.Fault != TMixEntryFault::None) return;
    Check(v.Start + v.Entry.Size <= size);
    if (v.Depth > 0) return;
    // Sound entries of one archive do not overlap: all of them together
    // copy at most the input's size.
    Check(CopyMixRange(source, v.Start, v.Entry.Size, [&](const uint8_t*, uint32_t n) {
      copied += n;
      return true;
    }));
  };
  Check(WalkMixArchive(source, walk, error));
  Check(copied <= size);
}
