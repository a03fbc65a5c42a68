#include "cli/mix_command.h"

#include <cstdio>
#include <new>

#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/converter.h"
#include "cli/mix_options.h"
#include "formats/frame_names.h"
#include "formats/mix_ids.h"
#include "formats/mix_index.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"
#include "formats/mix_walk.h"
#include "formats/mix_writer.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/write_through.h"

namespace {

struct TMixRun {
  const TMixOptions& Options;
  TConsole& Console;
  TMixNames Extra;  // --names
  bool Failed = false;

  void Error(const std::string& subject, const std::string& text) {
    Console.Error(subject, text);
    Failed = true;
  }
};

// A name as list prints it: control characters would break the columns.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

void ListArchive(TMixRun& run, const std::string& path) {
  TFileMixSource archive(path);
  if (!archive.IsOpen()) return run.Error(path, "cannot open it");
  TMixWalk walk;
  walk.Recursive = run.Options.Recursive;
  walk.ExtraNames = &run.Extra;
  walk.Visit = [](const TMixVisit& v) {
    WriteText(stdout, MixIdText(v.Entry.Id) + "\t" + std::to_string(v.Entry.Offset) + "\t" +
                          std::to_string(v.Entry.Size) + "\t" + Printable(v.Path) + "\n");
  };
  walk.Fault = [&](const std::string& entry, const std::string& text) {
    std::fflush(stdout);
    run.Error(path, "entry " + Printable(entry) + ": " + text);
  };
  std::string error;
  if (!WalkMixArchive(archive, walk, error)) run.Error(path, error);
  std::fflush(stdout);
}

int List(TMixRun& run) {
  for (const std::string& path : run.Options.Files) {
    if (run.Options.Files.size() > 1) WriteText(stdout, path + "\n");
    ListArchive(run, path);
  }
  return run.Failed ? kFileFailed : kConvertedAll;
}

// The file an entry is extracted to: its name when that is a plain file
// name, otherwise its ID with an extension for what it holds.
std::string ExtractName(const TMixSource& archive, const TMixIndex& index, const TMixEntry& entry,
                        const std::string* name) {
  if (name && IsSafeEntryName(*name)) return *name;
  TSliceMixSource bytes(archive, index.EntryStart(entry), entry.Size);
  const char* extension = IsMixArchive(bytes) ? ".mix" : HasSpriteHeader(bytes) ? ".shp" : ".bin";
  return MixIdText(entry.Id) + extension;
}

bool WriteEntry(const TMixSource& archive, const TMixIndex& index, const TMixEntry& entry,
                const std::string& path) {
  return WriteThroughTemporary(path, [&](TByteStream* file) {
    TFileHandle out = file->FileHandle;
    return CopyMixRange(
        archive, index.EntryStart(entry), entry.Size,
        [&](const uint8_t* data, uint32_t size) { return WriteToFile(out, data, size) == size; });
  });
}

// The entries to extract, in index order: all, or those asked for.
std::vector<const TMixEntry*> WantedEntries(TMixRun& run, const std::string& path,
                                            const TMixIndex& index) {
  std::vector<const TMixEntry*> wanted;
  if (run.Options.Wanted.empty()) {
    for (const TMixEntry& entry : index.Entries)
      wanted.push_back(&entry);
    return wanted;
  }
  for (const std::string& name : run.Options.Wanted) {
    std::optional<uint32_t> id = ParseMixId(name);
    const TMixEntry* found = nullptr;
    for (const TMixEntry& entry : index.Entries) {
      if (entry.Id == TsId(name) || entry.Id == TdId(name)) found = found ? found : &entry;
    }
    for (const TMixEntry& entry : index.Entries) {
      if (!found && id && entry.Id == *id) found = &entry;
    }
    if (found) {
      wanted.push_back(found);
    } else {
      run.Error(path, "has no entry " + Printable(name));
    }
  }
  return wanted;
}

int Extract(TMixRun& run) {
  const std::string& path = run.Options.Files[0];
  TFileMixSource archive(path);
  if (!archive.IsOpen()) {
    run.Error(path, "cannot open it");
    return kFileFailed;
  }
  TMixIndex index;
  std::string error;
  if (!ReadMixIndex(archive, index, error)) {
    run.Error(path, error);
    return kFileFailed;
  }
  TMixNames names;
  ReadMixNameTable(archive, index, names);
  const std::string& folder = run.Options.Out;
  if (!folder.empty() && !MakeFolders(folder)) {
    run.Error(folder, "cannot create the output folder");
    return kFileFailed;
  }
  for (const TMixEntry* entry : WantedEntries(run, path, index)) {
    const std::string* name = names.Find(entry->Id);
    if (!name) name = run.Extra.Find(entry->Id);
    std::string label = name ? Printable(*name) : MixIdText(entry->Id);
    if (entry->Fault != TMixEntryFault::None) {
      run.Error(path, "entry " + label + ": " + MixFaultText(entry->Fault));
      continue;
    }
    std::string file = ExtractName(archive, index, *entry, name);
    std::string target = folder.empty() ? file : InFolder(folder, file, kPathSeparator);
    if (!WriteEntry(archive, index, *entry, target))
      run.Error(path, "entry " + label + ": cannot write " + target);
  }
  return run.Failed ? kFileFailed : kConvertedAll;
}

// The file's name without its folder.
std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

int Create(TMixRun& run) {
  std::vector<TMixFileIn> files;
  for (const std::string& path : run.Options.Files)
    files.push_back({BaseName(path), path});
  std::string error;
  if (!WriteMixArchive(run.Options.Out, files, run.Options.Ids, error)) {
    run.Error(run.Options.Out, error);
    return kFileFailed;
  }
  return kConvertedAll;
}

int UsageError(const std::string& error) {
  WriteText(stderr, "shptool mix: " + error + "\nTry shptool mix --help.\n");
  return kUsageError;
}

}  // namespace

int RunMix(const std::vector<std::string>& args) {
  TMixOptions options;
  std::string error;
  if (!ParseMixArguments(args, options, error)) return UsageError(error);
  if (options.Help) {
    WriteText(stdout, MixHelpText());
    return kConvertedAll;
  }
  TConsole console(false, "shptool mix");
  TMixRun run{options, console, {}, false};
  if (!options.NamesFile.empty() && !ReadMixNamesFile(options.NamesFile, run.Extra)) {
    console.Error(options.NamesFile, "cannot read the names file");
    return kFileFailed;
  }
  try {
    if (options.Action == "list") return List(run);
    if (options.Action == "extract") return Extract(run);
    return Create(run);
  } catch (const std::bad_alloc&) {
    console.Error("", "not enough memory");
    return kFileFailed;
  }
}
