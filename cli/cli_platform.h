#pragma once

#include <cstdio>
#include <string>
#include <vector>

// What the converter needs of the operating system beyond the byte streams;
// one small file per platform (cli_platform_posix.cpp, cli_platform_win32.cpp).

// The separator put between a folder and a file name.
extern const char kPathSeparator;

// True when the standard error stream is a terminal (a person is watching).
bool StderrIsTerminal();

// Writes the text to stdout or stderr and flushes it. A Windows console gets
// it as characters, read in the program's own code page (its texts and the
// file names it was given); anything else gets the bytes as they are.
void WriteText(std::FILE* stream, const std::string& text);

// Creates the folder and any missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// True when the path names an existing folder.
bool IsFolderPath(const std::string& path);

// The names of the files (not folders) in a folder, in no set order.
std::vector<std::string> FilesInFolder(const std::string& folder);
