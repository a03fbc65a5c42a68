#pragma once

#include <string>
#include <vector>

// Runs "shptool encode" on the arguments after the command; answers the
// exit status.
int RunEncode(const std::vector<std::string>& args);
