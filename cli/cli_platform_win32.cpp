#include <windows.h>

#include <io.h>

#include <cstdio>

#include "cli/cli_platform.h"

namespace {

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

const char kPathSeparator = '\\';

bool StderrIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

bool MakeFolders(const std::string& path) {
  if (IsFolder(path)) return true;
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '\\' && path[at] != '/') continue;
    std::string part = path.substr(0, at);
    // A drive ("C:") or a path ending in a separator needs no folder of its own.
    if (part.back() == ':' || IsFolder(part)) continue;
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
  }
  return IsFolder(path);
}
