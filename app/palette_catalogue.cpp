#include "app/palette_catalogue.h"

#include <cstdlib>

#include "formats/palette_reader.h"
#include "formats/palette_search.h"
#include "toolkit/widgets/widget.h"

std::vector<PaletteRecord> PaletteCatalogue;

namespace {

const char* const kNoPaletteNotice =
    "Не обнаружено ни одной палитры .PAL. Продолжение работы невозможно!";

}  // namespace

size_t FillPaletteCatalogue() {
  PaletteCatalogue.clear();
  for (const std::string& file : PaletteFilesInWorkingFolder()) {
    PaletteRecord& record = PaletteCatalogue.emplace_back();
    record.Name = PaletteDisplayName(file.c_str());
    // A file gone, locked or not readable stays all black: the reader
    // leaves the table alone when it cannot open the file, and a failed
    // read ends the text like the end of the file.
    ReadPaletteFile(file.c_str(), record.Colours);
  }
  return PaletteCatalogue.size();
}

void LoadPaletteCatalogue() {
  if (FillPaletteCatalogue() > 0) return;
  ShowNotice(kNoPaletteNotice);
  std::exit(0);
}
