#pragma once

#include <string>
#include <vector>

// The palette files of the working folder: every file whose name matches
// "*.pal" as the system's directory search matches it (case-insensitively;
// on Windows short names too), in the folder's own order. Folders are
// skipped; hidden, system and read-only files count. One file per platform
// (palette_search_win32.cpp, palette_search_posix.cpp).
std::vector<std::string> PaletteFilesInWorkingFolder();
