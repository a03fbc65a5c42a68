#include <windows.h>

#include <io.h>

#include <cstdio>

#include "cli/cli_platform.h"
#include "toolkit/base/system_text.h"
#include "toolkit/base/win32_handles.h"

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

// A console shows bytes in its own (OEM) code page, whatever the program's:
// it is given characters instead.
void WriteText(std::FILE* stream, const std::string& text) {
  std::fflush(stream);  // what the stream still holds goes first
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
    return;
  }
  std::wstring wide = WideFromSystem(text);
  DWORD written = 0;
  WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
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

bool IsFolderPath(const std::string& path) {
  return IsFolder(path);
}

std::vector<std::string> FilesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  char last = folder.empty() ? '\\' : folder.back();
  std::string mask = folder + (last == '\\' || last == '/' || last == ':' ? "*" : "\\*");
  WIN32_FIND_DATAA entry;
  TFindHandle search(FindFirstFileA(mask.c_str(), &entry));
  if (search.Get() == INVALID_HANDLE_VALUE) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  } while (FindNextFileA(search.Get(), &entry));
  return names;
}
