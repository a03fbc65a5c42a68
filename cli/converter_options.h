#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "format_shp/shp.h"

// 1-based frame numbers, as inclusive ranges.
using TFrameRanges = std::vector<std::pair<uint32_t, uint32_t>>;

struct TConverterOptions {
  std::string Palette;         // empty: the first *.pal of the working folder
  std::string OutFolder;       // empty: the working folder
  TFrameRanges Frames;         // empty: every frame
  std::string Format = "bmp";  // shptool export --format
  bool Opaque = false;         // png, gif, sheet: no transparent index 0
  uint32_t DelayMs = 100;      // gif: time each frame is shown
  uint32_t Columns = 0;        // sheet: cells per row; 0: the smallest square
  uint32_t Jobs = 0;           // files converted at once; 0: one per usable processor
  // Sprites whose listed frames' canvases come to this much are decoded
  // and written on two threads when one file is converted at a time.
  uint64_t TwoThreadCanvasBytes = kTwoThreadCanvasBytes;
  bool Info = false;
  bool Quiet = false;
  bool Help = false;
  std::vector<std::string> Files;
};

// Parses the arguments after the program name. False with `error` set for
// a usage error.
bool ParseConverterArguments(const std::vector<std::string>& args, TConverterOptions& options,
                             std::string& error);

// The same for the arguments after "shptool info" (--frames, --quiet) and
// "shptool export" (no --info, but --format).
bool ParseInfoArguments(const std::vector<std::string>& args, TConverterOptions& options,
                        std::string& error);
bool ParseExportArguments(const std::vector<std::string>& args, TConverterOptions& options,
                          std::string& error);

// Options that take a value, as "--name VALUE" or "--name=VALUE": true when
// `args[i]` is one; TakeOptionValue reads its value, moving `i` past it.
bool IsOption(const std::string& arg, const std::string& name);
bool TakeOptionValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
                     std::string& value, std::string& error);

// Parses a list such as "1,3-5": numbers from 1 to 65535 and ranges whose
// first number is not above their last, separated by commas.
bool ParseFrameList(const std::string& text, TFrameRanges& ranges);

bool FrameIsListed(const TFrameRanges& ranges, uint32_t frame);

// The text of --help.
const char* ConverterHelpText();
