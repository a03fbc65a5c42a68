#pragma once

#include <string>

// The text of "shptool --help" (command "") and "shptool COMMAND --help".
const char* CommandHelpText(const std::string& command);
