#pragma once

#include <string>
#include <vector>

#include "format_shp/shp_encode.h"

struct TEncodeOptions {
  std::string OutFile;
  std::string Palette;  // empty: none; RGB images are then refused
  TShpPacking Packing = TShpPacking::Smaller;
  bool Quiet = false;
  bool Help = false;
  std::vector<std::string> Inputs;  // images and folders, in argument order
};

// Parses the arguments after "shptool encode". False with `error` set for a
// usage error.
bool ParseEncodeArguments(const std::vector<std::string>& args, TEncodeOptions& options,
                          std::string& error);
