#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/mix_path.h"

class TConsole;
class TShpFrameStream;

// One sprite for info or export: a file, or an entry of an archive.
struct TSpriteInput {
  std::string Label;  // for messages: the path as given, or through the archive
  TMixLocation At;
};

// The sprites the arguments stand for: a file as it is; ARCHIVE.mix/NAME
// the entry (nested too); an archive given whole, every entry of it with a
// valid sprite header, nested archives included. Paths that fail are
// reported and left out, with `failed` set.
std::vector<TSpriteInput> ExpandSpriteInputs(const std::vector<std::string>& args,
                                             TConsole& console, bool& failed);

// The file name the sprite is named after: the file's own, or for an entry
// its name, or its ID with ".shp" when the name is not known.
std::string SpriteFileNameOf(const TSpriteInput& input);

// The frame count in the input's file header, which no frame number of
// the sprite exceeds; nothing when the header cannot be read.
std::optional<uint32_t> FramesInHeaderOf(const TSpriteInput& input);

// Opens the input's bytes to be read a frame at a time.
void OpenSpriteInput(TShpFrameStream& frames, const TSpriteInput& input);
