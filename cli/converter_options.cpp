#include "cli/converter_options.h"

namespace {

constexpr uint32_t kMaxFrameNumber = 65535;

// Reads a decimal number from 1 to kMaxFrameNumber at `at`, moving past it.
bool ReadFrameNumber(const std::string& text, size_t& at, uint32_t& number) {
  size_t start = at;
  number = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    number = number * 10 + static_cast<uint32_t>(text[at] - '0');
    if (number > kMaxFrameNumber) return false;
    ++at;
  }
  return at > start && number >= 1;
}

// Reads a whole decimal number from `low` to `high`.
bool ParseNumber(const std::string& text, uint32_t low, uint32_t high, uint32_t& number) {
  number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint32_t>(c - '0');
    if (number > high) return false;
  }
  return !text.empty() && number >= low;
}

// Which options a command line takes besides --frames, --quiet and --help.
struct TOptionSet {
  bool Info = false;
  bool Format = false;  // with --opaque, --delay and --columns
  bool Output = true;   // --palette and --out
};

bool ParseOptions(const std::vector<std::string>& args, TOptionSet accepted,
                  TConverterOptions& options, std::string& error);

}  // namespace

bool IsOption(const std::string& arg, const std::string& name) {
  return arg == name || arg.compare(0, name.size() + 1, name + "=") == 0;
}

bool TakeOptionValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
                     std::string& value, std::string& error) {
  const std::string& arg = args[i];
  if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
    value = arg.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    error = name + " needs a value";
    return false;
  }
  if (value.empty()) error = name + " needs a value";
  return !value.empty();
}

bool ParseFrameList(const std::string& text, TFrameRanges& ranges) {
  ranges.clear();
  size_t at = 0;
  do {
    uint32_t first, last;
    if (!ReadFrameNumber(text, at, first)) return false;
    last = first;
    if (at < text.size() && text[at] == '-') {
      ++at;
      if (!ReadFrameNumber(text, at, last) || last < first) return false;
    }
    ranges.emplace_back(first, last);
    if (at == text.size()) return true;
  } while (text[at++] == ',');
  return false;
}

bool FrameIsListed(const TFrameRanges& ranges, uint32_t frame) {
  if (ranges.empty()) return true;
  for (const auto& [first, last] : ranges) {
    if (frame >= first && frame <= last) return true;
  }
  return false;
}

bool ParseConverterArguments(const std::vector<std::string>& args, TConverterOptions& options,
                             std::string& error) {
  return ParseOptions(args, {.Info = true}, options, error);
}

bool ParseInfoArguments(const std::vector<std::string>& args, TConverterOptions& options,
                        std::string& error) {
  options.Info = true;
  return ParseOptions(args, {.Output = false}, options, error);
}

bool ParseExportArguments(const std::vector<std::string>& args, TConverterOptions& options,
                          std::string& error) {
  return ParseOptions(args, {.Format = true}, options, error);
}

namespace {

bool ParseOptions(const std::vector<std::string>& args, TOptionSet accepted,
                  TConverterOptions& options, std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      options.Files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--info" && accepted.Info) {
      options.Info = true;
    } else if (arg == "--quiet") {
      options.Quiet = true;
    } else if (IsOption(arg, "--palette") && accepted.Output) {
      if (!TakeOptionValue(args, i, "--palette", options.Palette, error)) return false;
    } else if (IsOption(arg, "--out") && accepted.Output) {
      if (!TakeOptionValue(args, i, "--out", options.OutFolder, error)) return false;
    } else if (IsOption(arg, "--format") && accepted.Format) {
      if (!TakeOptionValue(args, i, "--format", options.Format, error)) return false;
    } else if (arg == "--opaque" && accepted.Format) {
      options.Opaque = true;
    } else if (IsOption(arg, "--delay") && accepted.Format) {
      if (!TakeOptionValue(args, i, "--delay", value, error)) return false;
      // The largest delay a GIF can hold: 65535 hundredths of a second.
      if (!ParseNumber(value, 0, 655350, options.DelayMs)) {
        error = "bad delay \"" + value + "\": use milliseconds from 0 to 655350";
        return false;
      }
    } else if (IsOption(arg, "--columns") && accepted.Format) {
      if (!TakeOptionValue(args, i, "--columns", value, error)) return false;
      if (!ParseNumber(value, 1, 65535, options.Columns)) {
        error = "bad column count \"" + value + "\": use a number from 1 to 65535";
        return false;
      }
    } else if (IsOption(arg, "--jobs")) {
      if (!TakeOptionValue(args, i, "--jobs", value, error)) return false;
      if (!ParseNumber(value, 1, 256, options.Jobs)) {
        error = "bad job count \"" + value + "\": use a number from 1 to 256";
        return false;
      }
    } else if (IsOption(arg, "--frames")) {
      if (!TakeOptionValue(args, i, "--frames", value, error)) return false;
      if (!ParseFrameList(value, options.Frames)) {
        error = "bad frame list \"" + value + "\": use numbers from 1 and ranges such as 1,3-5";
        return false;
      }
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (!options.Help && options.Files.empty()) {
    error = "no SHP files given";
    return false;
  }
  return true;
}

}  // namespace

const char* ConverterHelpText() {
  return R"(Usage: shp2bmp [--palette FILE.pal] [--out DIR] [--frames LIST] [--info] [--jobs N] [--quiet] FILE.shp...

Converts the frames of SHP sprite files into 8-bit BMP files, byte for byte
as the Skarnel viewer saves them.

Every frame of every file is written as DIR/<name><NNN>.bmp: <name> is the
file's name (without its folder) before its first ".", <NNN> the frame
number from 001, padded with zeros to at least three digits. A frame
without pixels is written as the viewer's 1 x 1 placeholder.

Options:
  --palette FILE.pal  the palette of the images: JASC-PAL text or the game's
                      raw 768 bytes. Default: the first *.pal file of the
                      working folder, in the folder's order, as the viewer
                      starts with.
  --out DIR           where the images go (created when missing). Default:
                      the working folder. Existing files are replaced; a file
                      that cannot be written completely is not left behind.
  --frames LIST       only these frames, numbered from 1: numbers and ranges
                      separated by commas, for example 1,3-5.
  --info              print each sprite's box, frame count and frame headers
                      (and whether each frame has pixels); write no files and
                      need no palette. A compression field whose upper bytes
                      are not zero is shown in hexadecimal with its kind, the
                      low byte: compression=0xCCCCCC03 kind=3.
  --jobs N            convert up to N files at once, one file each. Default:
                      one per processor the program may run on. Messages
                      and the exit status are the same for any N.
  --quiet             print no warnings about repaired data and no progress;
                      errors are still printed.
  --help              print this text.

Damaged files are read as far as they go: frames reaching outside the
sprite box are clipped and missing pixels are colour 0, with a warning.
A file that is missing, is not an SHP file (shorter than its header, or a
frame table running past its end) or is too large to convert gets one error
line and is skipped; the other files are still converted.

Exit status: 0 when everything was converted, 1 when a file failed or an
image could not be written, 2 for a usage error or a missing palette.

Example:
  shp2bmp --palette temperat.pal --out frames --frames 1-8 tank.shp
)";
}
