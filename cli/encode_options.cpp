#include "cli/encode_options.h"

#include "cli/converter_options.h"

namespace {

bool ParsePacking(const std::string& name, TShpPacking& packing) {
  if (name == "auto")
    packing = TShpPacking::Smaller;
  else if (name == "rle")
    packing = TShpPacking::Coded;
  else if (name == "raw")
    packing = TShpPacking::Raw;
  else
    return false;
  return true;
}

}  // namespace

bool ParseEncodeArguments(const std::vector<std::string>& args, TEncodeOptions& options,
                          std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      options.Inputs.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--quiet") {
      options.Quiet = true;
    } else if (IsOption(arg, "--out")) {
      if (!TakeOptionValue(args, i, "--out", options.OutFile, error)) return false;
    } else if (IsOption(arg, "--palette")) {
      if (!TakeOptionValue(args, i, "--palette", options.Palette, error)) return false;
    } else if (IsOption(arg, "--compression")) {
      if (!TakeOptionValue(args, i, "--compression", value, error)) return false;
      if (!ParsePacking(value, options.Packing)) {
        error = "bad compression \"" + value + "\": use auto, rle or raw";
        return false;
      }
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.Help) return true;
  if (options.OutFile.empty()) {
    error = "no output file given: use --out FILE.shp";
    return false;
  }
  if (options.Inputs.empty()) {
    error = "no images given";
    return false;
  }
  return true;
}
