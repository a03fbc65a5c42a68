#pragma once

#include <string>
#include <vector>

struct TProcessResult {
  int ExitCode = -1;  // -1 when the program could not be started or was stopped
  std::string Out;    // what it wrote to standard output
  std::string Err;    // and to standard error
};

// Runs `program` with `args` in `folder` (a native process of the build's
// platform: under Wine, a Windows process), waits for it for at most a
// minute and collects its output.
TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder);
