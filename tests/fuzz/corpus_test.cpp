// Runs every committed seed and kept reproducer of the fuzz targets through
// the same entries, so each build and platform re-checks them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/fuzz_entries.h"
#include "fuzz/mix_fuzz_entry.h"
#include "support/test_files.h"

namespace fs = std::filesystem;

namespace {

using TEntry = void (*)(const uint8_t*, size_t);

// Feeds every file under tests/fuzz/<folder>/<target>/ to the entry; answers
// how many there were.
int RunFolder(const std::string& folder, const std::string& target, TEntry entry) {
  fs::path dir = fs::path(SKARNEL_FUZZ_DIR) / folder / target;
  if (!fs::is_directory(dir)) return 0;
  int count = 0;
  for (const auto& file : fs::directory_iterator(dir)) {
    if (!file.is_regular_file()) continue;
    SCOPED_TRACE(file.path().string());
    TBytes bytes = ReadFileBytes(file.path().string());
    entry(bytes.data(), bytes.size());
    ++count;
  }
  return count;
}

TEST(FuzzCorpus, BmpSeedsAndReproducersRunClean) {
  EXPECT_GT(RunFolder("corpus", "bmp", FuzzBmpStream), 0);
  RunFolder("regressions", "bmp", FuzzBmpStream);
}

TEST(FuzzCorpus, ShpSeedsAndReproducersRunClean) {
  EXPECT_GT(RunFolder("corpus", "shp", FuzzShpFile), 0);
  RunFolder("regressions", "shp", FuzzShpFile);
}

TEST(FuzzCorpus, PaletteSeedsAndReproducersRunClean) {
  EXPECT_GT(RunFolder("corpus", "pal", FuzzPaletteFile), 0);
  RunFolder("regressions", "pal", FuzzPaletteFile);
}

TEST(FuzzCorpus, ImageSeedsAndReproducersRunClean) {
  EXPECT_GT(RunFolder("corpus", "image", FuzzInputImage), 0);
  RunFolder("regressions", "image", FuzzInputImage);
}

TEST(FuzzCorpus, ArchiveSeedsAndReproducersRunClean) {
  EXPECT_GT(RunFolder("corpus", "mix", FuzzMixArchive), 0);
  RunFolder("regressions", "mix", FuzzMixArchive);
}

}  // namespace
