#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/cli_platform.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

const char kPathSeparator = '/';

bool StderrIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

void WriteText(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

bool MakeFolders(const std::string& path) {
  if (IsFolder(path)) return true;
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string part = path.substr(0, at);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

bool IsFolderPath(const std::string& path) {
  return IsFolder(path);
}

std::vector<std::string> FilesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return names;
  while (dirent* entry = ::readdir(listing)) {
    std::string name = entry->d_name;
    if (!IsFolder(folder + "/" + name)) names.push_back(name);
  }
  ::closedir(listing);
  return names;
}
