#include "cli/shptool.h"

#include <cstdio>

#include "cli/cli_platform.h"
#include "cli/converter.h"
#include "cli/converter_options.h"
#include "cli/encode_command.h"
#include "cli/mix_command.h"
#include "cli/shptool_help.h"

namespace {

using TParser = bool (*)(const std::vector<std::string>&, TConverterOptions&, std::string&);

int UsageError(const std::string& command, const std::string& error) {
  std::string program = command.empty() ? "shptool" : "shptool " + command;
  WriteText(stderr, program + ": " + error + "\nTry " + program + " --help.\n");
  return kUsageError;
}

// info and export: shp2bmp's conversion under other option sets.
int RunConverterCommand(const std::string& command, TParser parse,
                        const std::vector<std::string>& args) {
  TConverterOptions options;
  std::string error;
  if (!parse(args, options, error)) return UsageError(command, error);
  if (options.Help) {
    WriteText(stdout, CommandHelpText(command));
    return kConvertedAll;
  }
  return RunConversion(options, "shptool " + command);
}

}  // namespace

int RunShpTool(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("", "no command given");
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    WriteText(stdout, CommandHelpText(""));
    return kConvertedAll;
  }
  if (command == "info") return RunConverterCommand(command, ParseInfoArguments, rest);
  if (command == "export") return RunConverterCommand(command, ParseExportArguments, rest);
  if (command == "encode") return RunEncode(rest);
  if (command == "mix") return RunMix(rest);
  return UsageError("", "unknown command " + command);
}
