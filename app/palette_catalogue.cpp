#include "app/palette_catalogue.h"

#include <windows.h>

#include <cstdlib>

#include "toolkit/widgets/widget.h"

std::vector<PaletteRecord> PaletteCatalogue;

namespace {

const char* const kNoPaletteNotice =
    "Не обнаружено ни одной палитры .PAL. Продолжение работы невозможно!";

// A directory search that is closed however the caller leaves.
class TFileSearch {
 public:
  explicit TFileSearch(const char* mask) : handle_(FindFirstFileA(mask, &found_)) {}
  ~TFileSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  TFileSearch(const TFileSearch&) = delete;
  TFileSearch& operator=(const TFileSearch&) = delete;

  // The entry found, or null once the search is over.
  const WIN32_FIND_DATAA* Current() const {
    return handle_ != INVALID_HANDLE_VALUE && !ended_ ? &found_ : nullptr;
  }
  void Next() { ended_ = !FindNextFileA(handle_, &found_); }

 private:
  WIN32_FIND_DATAA found_ = {};
  HANDLE handle_;
  bool ended_ = false;
};

// Files only: read-only, hidden, system and archive files count, folders
// do not.
bool IsPaletteEntry(const WIN32_FIND_DATAA& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

size_t FillPaletteCatalogue() {
  PaletteCatalogue.clear();
  TFileSearch search("*.pal");
  for (; const WIN32_FIND_DATAA* entry = search.Current(); search.Next()) {
    if (!IsPaletteEntry(*entry)) continue;
    PaletteRecord& record = PaletteCatalogue.emplace_back();
    record.Name = PaletteDisplayName(entry->cFileName);
    // A file gone, locked or not readable stays all black: the reader
    // leaves the table alone when it cannot open the file, and a failed
    // read ends the text like the end of the file.
    ReadJascPalette(entry->cFileName, record.Colours);
  }
  return PaletteCatalogue.size();
}

void LoadPaletteCatalogue() {
  if (FillPaletteCatalogue() > 0) return;
  ShowNotice(kNoPaletteNotice);
  std::exit(0);
}
