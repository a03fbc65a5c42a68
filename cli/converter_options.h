#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// 1-based frame numbers, as inclusive ranges.
using TFrameRanges = std::vector<std::pair<uint32_t, uint32_t>>;

struct TConverterOptions {
  std::string Palette;    // empty: the first *.pal of the working folder
  std::string OutFolder;  // empty: the working folder
  TFrameRanges Frames;    // empty: every frame
  bool Info = false;
  bool Quiet = false;
  bool Help = false;
  std::vector<std::string> Files;
};

// Parses the arguments after the program name. False with `error` set for
// a usage error.
bool ParseConverterArguments(const std::vector<std::string>& args, TConverterOptions& options,
                             std::string& error);

// Parses a list such as "1,3-5": numbers from 1 to 65535 and ranges whose
// first number is not above their last, separated by commas.
bool ParseFrameList(const std::string& text, TFrameRanges& ranges);

bool FrameIsListed(const TFrameRanges& ranges, uint32_t frame);

// The text of --help.
const char* ConverterHelpText();
