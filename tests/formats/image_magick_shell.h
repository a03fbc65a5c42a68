#pragma once

#include <string>

// Runs a POSIX shell command line in `folder` (a path of the test's own
// platform) and waits for it; true when it ended with status 0.
bool RunShellIn(const std::string& folder, const std::string& command);
