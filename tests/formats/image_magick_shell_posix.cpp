#include "formats/image_magick_shell.h"

#include "support/run_process.h"

bool RunShellIn(const std::string& folder, const std::string& command) {
  return RunProcess("/bin/sh", {"-c", command}, folder).ExitCode == 0;
}
