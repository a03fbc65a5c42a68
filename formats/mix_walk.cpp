#include "formats/mix_walk.h"

#include "formats/mix_ids.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"

namespace {

struct TWalker {
  const TMixSource& Outer;
  const TMixWalk& Walk;

  // The archive at `start` (size `size`) of the outer source, whose
  // entries' paths start with `prefix`.
  void Entries(const TMixIndex& index, uint64_t start, uint64_t size, int depth,
               const std::string& prefix) {
    TSliceMixSource archive(Outer, start, size);
    TMixNames names;
    ReadMixNameTable(archive, index, names);
    for (const TMixEntry& entry : index.Entries) {
      TMixVisit visit;
      visit.Entry = entry;
      visit.Start = start + index.EntryStart(entry);
      visit.Depth = depth;
      const std::string* name = names.Find(entry.Id);
      if (!name && Walk.ExtraNames) name = Walk.ExtraNames->Find(entry.Id);
      if (name) visit.Name = *name;
      visit.Label = name ? *name : MixIdText(entry.Id);
      visit.Path = prefix + (name ? *name : "?");
      if (entry.Fault != TMixEntryFault::None) {
        if (Walk.Fault) Walk.Fault(prefix + visit.Label, MixFaultText(entry.Fault));
        Walk.Visit(visit);
        continue;
      }
      TMixIndex nested;
      if (Walk.Recursive || Walk.Classify) Classify(visit, nested);
      Walk.Visit(visit);
      if (visit.IsArchive && Walk.Recursive) Follow(visit, nested, prefix);
    }
  }

  void Classify(TMixVisit& visit, TMixIndex& nested) {
    TSliceMixSource entry(Outer, visit.Start, visit.Entry.Size);
    std::string ignored;
    visit.IsArchive = ReadMixIndex(entry, nested, ignored) && nested.AllEntriesInside();
    visit.IsSprite = !visit.IsArchive && HasSpriteHeader(entry);
  }

  void Follow(const TMixVisit& visit, const TMixIndex& nested, const std::string& prefix) {
    std::string path = prefix + visit.Label;
    if (visit.Depth + 1 > kMaxMixNesting) {
      if (Walk.Fault) Walk.Fault(path, "archives nested deeper than this are not followed");
      return;
    }
    Entries(nested, visit.Start, visit.Entry.Size, visit.Depth + 1, path + "/");
  }
};

}  // namespace

std::string MixFaultText(TMixEntryFault fault) {
  switch (fault) {
    case TMixEntryFault::PastEnd:
      return "the entry reaches past the end of the archive";
    case TMixEntryFault::Overlaps:
      return "the entry overlaps another entry";
    case TMixEntryFault::None:
      break;
  }
  return "";
}

bool WalkMixArchive(const TMixSource& archive, const TMixWalk& walk, std::string& error) {
  TMixIndex index;
  if (!ReadMixIndex(archive, index, error)) return false;
  TWalker walker{archive, walk};
  walker.Entries(index, 0, archive.Size(), 0, "");
  return true;
}
