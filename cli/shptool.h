#pragma once

#include <string>
#include <vector>

// Runs shptool on the arguments after the program name (a command and its
// arguments); answers the exit status, as shp2bmp's.
int RunShpTool(const std::vector<std::string>& args);
