#include "cli/mix_options.h"

#include "cli/converter_options.h"

namespace {

const char kMixHelp[] =
    R"(Usage: shptool mix list    [--names FILE] [--recursive] ARCHIVE...
       shptool mix extract [--names FILE] [--out DIR] ARCHIVE [NAME|ID...]
       shptool mix create  --out FILE.mix [--ids td|ts] FILE...

Lists, extracts and makes MIX archives, the files the game keeps its
sprites in. Both layouts are read (the old one, and the new one with an
encrypted index or a checksum or both); archives are written in the new
layout, unencrypted.

list     one line per entry in index order, four columns separated by tabs:
         the ID (8 hex digits), the offset from the start of the archive's
         body, the size, and the name ("?" when not known). Given several
         archives, each archive's lines follow a line with its path.
extract  writes the named entries (all without NAME) into DIR under their
         names; an entry whose name is not known, or is not a plain file
         name, is written as ID.mix (an archive), ID.shp (a sprite) or
         ID.bin (anything else).
create   packs the files under their own names (without their folder),
         with a name table so that the names come back.

NAME is an entry's name or its ID as 8 hex digits. Entry names come from
the archive's name table ("local mix database.dat") and from --names.
Sprites inside archives are reached by the other commands too:
  shptool info main.mix/conquer.mix/e1.shp
  shptool export --palette temperat.pal main.mix      (every sprite inside)

Options:
  --names FILE   more entry names, one per line.
  --recursive    list: the entries of nested archives after each one's
                 line, their names as paths (conquer.mix/e1.shp,
                 conquer.mix/?), their offsets from that archive's body.
                 Archives are followed at most 8 levels deep.
  --out DIR      extract: the folder to write into (created when missing).
                 Default: the working folder.
  --out FILE     create: the archive to write (replaced when it exists; it
                 appears only when complete).
  --ids td|ts    create: the hash of the IDs: ts (the default, the later
                 games) or td (the first game).
  --help         print this text.

Exit status: 0 when everything was done, 1 when an archive, an entry or a
file failed (one line naming it; the others are still done), 2 for a usage
error.
)";

bool TakeAction(const std::vector<std::string>& args, TMixOptions& options, std::string& error) {
  if (args.empty()) {
    error = "no action given: list, extract or create";
    return false;
  }
  options.Action = args[0];
  if (options.Action == "--help" || options.Action == "-h") {
    options.Help = true;
    return true;
  }
  if (options.Action != "list" && options.Action != "extract" && options.Action != "create") {
    error = "unknown action " + options.Action;
    return false;
  }
  return true;
}

// Options of another action than the one given are usage errors.
bool ParseOption(const std::vector<std::string>& args, size_t& i, TMixOptions& options,
                 std::string& error) {
  const std::string& arg = args[i];
  const std::string& action = options.Action;
  std::string ids;
  if (arg == "--help" || arg == "-h") {
    options.Help = true;
  } else if (arg == "--recursive" && action == "list") {
    options.Recursive = true;
  } else if (IsOption(arg, "--names") && action != "create") {
    return TakeOptionValue(args, i, "--names", options.NamesFile, error);
  } else if (IsOption(arg, "--out") && action != "list") {
    return TakeOptionValue(args, i, "--out", options.Out, error);
  } else if (IsOption(arg, "--ids") && action == "create") {
    if (!TakeOptionValue(args, i, "--ids", ids, error)) return false;
    if (ids != "td" && ids != "ts") {
      error = "--ids takes td or ts, not " + ids;
      return false;
    }
    options.Ids = ids == "td" ? TMixIdKind::Td : TMixIdKind::Ts;
  } else {
    error = "unknown option " + arg + " for " + action;
    return false;
  }
  return true;
}

}  // namespace

bool ParseMixArguments(const std::vector<std::string>& args, TMixOptions& options,
                       std::string& error) {
  if (!TakeAction(args, options, error)) return false;
  if (options.Help) return true;
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (!ParseOption(args, i, options, error)) return false;
    } else {
      options.Files.push_back(arg);
    }
  }
  if (options.Help) return true;
  if (options.Action == "create" && options.Out.empty()) {
    error = "create needs --out FILE.mix";
    return false;
  }
  if (options.Files.empty()) {
    error = options.Action == "create" ? "no files given" : "no archive given";
    return false;
  }
  if (options.Action == "extract") {
    options.Wanted.assign(options.Files.begin() + 1, options.Files.end());
    options.Files.resize(1);
  }
  return true;
}

const char* MixHelpText() {
  return kMixHelp;
}
