#include "cli/sprite_inputs.h"

#include <limits>

#include "cli/console.h"
#include "format_shp/frame_stream.h"
#include "format_shp/shp.h"
#include "formats/mix_ids.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"
#include "formats/mix_walk.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/le_bytes.h"

namespace {

// Every sprite of the archive file; false when it is no archive.
bool AddArchiveSprites(const std::string& path, std::vector<TSpriteInput>& inputs,
                       TConsole& console, bool& failed) {
  TFileMixSource archive(path);
  if (!archive.IsOpen() || !IsMixArchive(archive)) return false;
  TMixWalk walk;
  walk.Recursive = true;
  walk.Visit = [&](const TMixVisit& v) {
    if (!v.IsSprite) return;
    TSpriteInput input;
    // An unknown name is "?" in the path; messages name the ID instead.
    std::string inside = v.Name.empty() ? v.Path.substr(0, v.Path.size() - 1) + v.Label : v.Path;
    input.Label = path + "/" + inside;
    input.At.File = path;
    input.At.Whole = false;
    input.At.Offset = v.Start;
    input.At.Size = v.Entry.Size;
    input.At.EntryName = IsSafeEntryName(v.Name) ? v.Name : MixIdText(v.Entry.Id);
    inputs.push_back(input);
  };
  walk.Fault = [&](const std::string& entry, const std::string& text) {
    console.Error(path, "entry " + entry + ": " + text);
    failed = true;
  };
  std::string error;
  WalkMixArchive(archive, walk, error);
  return true;
}

}  // namespace

std::vector<TSpriteInput> ExpandSpriteInputs(const std::vector<std::string>& args,
                                             TConsole& console, bool& failed) {
  std::vector<TSpriteInput> inputs;
  for (const std::string& arg : args) {
    TSpriteInput input{arg, {}};
    std::string error;
    switch (ResolveMixPath(arg, input.At, error)) {
      case TMixPathKind::Failed:
        console.Error(arg, error);
        failed = true;
        continue;
      case TMixPathKind::File:
        if (HasMixExtension(arg) && AddArchiveSprites(arg, inputs, console, failed)) continue;
        break;
      case TMixPathKind::Entry:
        break;
    }
    inputs.push_back(input);
  }
  return inputs;
}

std::string SpriteFileNameOf(const TSpriteInput& input) {
  const TMixLocation& at = input.At;
  if (at.Whole) return at.File;
  // An ID has no extension to stop the sprite's name at: one is given.
  return ParseMixId(at.EntryName) ? at.EntryName + ".shp" : at.EntryName;
}

std::optional<uint32_t> FramesInHeaderOf(const TSpriteInput& input) {
  const TMixLocation& at = input.At;
  uint64_t offset = at.Whole ? 0 : at.Offset;
  if ((!at.Whole && at.Size < kShpFileHeaderSize) ||
      offset > uint64_t{std::numeric_limits<int32_t>::max()})
    return std::nullopt;
  TFileHandle file = OpenFileForReading(at.File.c_str());
  if (file == kInvalidFileHandle) return std::nullopt;
  uint8_t header[kShpFileHeaderSize];
  bool read = SetFilePosition(file, static_cast<int32_t>(offset), kFromStart) == offset &&
              ReadFromFile(file, header, kShpFileHeaderSize) == kShpFileHeaderSize;
  CloseFile(file);
  if (!read) return std::nullopt;
  return ReadLe16(header + 6);
}

void OpenSpriteInput(TShpFrameStream& frames, const TSpriteInput& input) {
  const TMixLocation& at = input.At;
  if (at.Whole) return frames.Open(at.File.c_str());
  frames.Open(at.File.c_str(), static_cast<uint32_t>(at.Offset), static_cast<uint32_t>(at.Size));
}
