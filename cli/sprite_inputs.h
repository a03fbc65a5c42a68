#pragma once

#include <string>
#include <vector>

#include "formats/mix_path.h"

class TConsole;
class TShp;

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

// Loads the input's bytes into the sprite; named after the entry's name,
// or its ID, when it is one.
void LoadSpriteInput(TShp& sprite, const TSpriteInput& input);
