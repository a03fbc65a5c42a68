#include <windows.h>

#include "formats/palette_search.h"
#include "toolkit/base/win32_handles.h"

std::vector<std::string> PaletteFilesInWorkingFolder() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  TFindHandle search(FindFirstFileA("*.pal", &entry));
  if (!search) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  } while (FindNextFileA(search.Get(), &entry));
  return names;
}
