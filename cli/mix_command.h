#pragma once

#include <string>
#include <vector>

// "shptool mix list|extract|create ...": the arguments after "mix".
// Answers the exit status.
int RunMix(const std::vector<std::string>& args);
