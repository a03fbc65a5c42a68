#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <memory>

#include "formats/palette_search.h"

namespace {

bool HasPalExtension(const std::string& name) {
  return name.size() >= 4 && ::strcasecmp(name.c_str() + name.size() - 4, ".pal") == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> PaletteFilesInWorkingFolder() {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir("."), &::closedir);
  if (!folder) return names;
  while (dirent* entry = ::readdir(folder.get())) {
    std::string name = entry->d_name;
    if (HasPalExtension(name) && !IsFolder(name)) names.push_back(name);
  }
  return names;
}
