// The converter over a corpus of damaged and hostile sprites: every run ends
// with status 0 or 1 and every file it writes is a complete BMP.
#include <gtest/gtest.h>

#include <chrono>

#include "shp2bmp_test_util.h"
#include "support/hostile_shp.h"
#include "toolkit/base/le_bytes.h"

namespace {

// A written image is whole: a BMP signature and exactly the size it claims.
void ExpectCompleteBmp(const std::string& fileName) {
  TBytes bytes = ReadFileBytes(fileName);
  ASSERT_GE(bytes.size(), 54u) << fileName;
  EXPECT_EQ(bytes[0], 'B') << fileName;
  EXPECT_EQ(bytes[1], 'M') << fileName;
  EXPECT_EQ(ReadLe32(&bytes[2]), bytes.size()) << fileName;
}

TEST(Shp2BmpHostile, EveryDamagedFileEndsWithStatusZeroOrOne) {
  TConverterFolder folder;
  folder.PutText("p.pal", JascPaletteText({{1, 2, 3}, {250, 128, 0}}));
  const std::vector<THostileFile> corpus = HostileShpCorpus();
  for (const THostileFile& file : corpus)
    folder.Put(file.Name, file.Bytes);

  // Batches keep the number of processes small; a batch that goes wrong is
  // rerun file by file to name the culprit.
  constexpr size_t kBatch = 60;
  for (size_t first = 0; first < corpus.size(); first += kBatch) {
    std::vector<std::string> args = {"--quiet", "--palette", "p.pal", "--out", "out"};
    size_t last = std::min(corpus.size(), first + kBatch);
    for (size_t i = first; i < last; ++i)
      args.push_back(corpus[i].Name);
    auto start = std::chrono::steady_clock::now();
    TProcessResult result = folder.Run(args);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bool ok = result.ExitCode == 0 || result.ExitCode == 1;
    // A generous bound: a hang or a runaway loop, not a speed target.
    EXPECT_LT(seconds, 30.0) << "batch from " << corpus[first].Name;
    if (ok) continue;
    for (size_t i = first; i < last; ++i) {
      TProcessResult one =
          folder.Run({"--quiet", "--palette", "p.pal", "--out", "out", corpus[i].Name});
      EXPECT_TRUE(one.ExitCode == 0 || one.ExitCode == 1)
          << corpus[i].Name << " ended with " << one.ExitCode << ": " << one.Err;
    }
  }
  std::vector<std::string> written = folder.FilesIn("out");
  EXPECT_GT(written.size(), 100u);  // the many readable variants were converted
  for (const std::string& name : written) {
    EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
    ExpectCompleteBmp(folder.File("out/" + name));
  }
}

}  // namespace
