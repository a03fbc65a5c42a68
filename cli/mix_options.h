#pragma once

#include <string>
#include <vector>

#include "formats/mix_ids.h"

struct TMixOptions {
  std::string Action;     // list, extract or create
  std::string NamesFile;  // --names
  std::string Out;        // extract: a folder; create: the archive
  bool Recursive = false;
  TMixIdKind Ids = TMixIdKind::Ts;
  bool Help = false;
  std::vector<std::string> Files;   // archives, or for create the files to pack
  std::vector<std::string> Wanted;  // extract: names or IDs after the archive
};

// Parses the arguments after "mix"; false with `error` set for a usage error.
bool ParseMixArguments(const std::vector<std::string>& args, TMixOptions& options,
                       std::string& error);

const char* MixHelpText();
