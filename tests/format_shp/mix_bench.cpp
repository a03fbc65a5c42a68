// Speed of archives, warm (the archive in the page cache): extracting every
// entry of a 200 MB archive of 2,000 entries into memory, counted in entry
// bytes; and reading that archive's index and name table.
#include <benchmark/benchmark.h>

#include <cstring>

#include "formats/mix_index.h"
#include "formats/mix_names.h"
#include "formats/mix_source.h"
#include "formats/mix_writer.h"
#include "support/mix_builder.h"

namespace {

constexpr int kEntries = 2000;
constexpr uint32_t kEntrySize = 100 * 1024;

// The archive, written once for the whole run from one file under 2,000
// names.
class TBenchArchive {
 public:
  TBenchArchive() {
    WriteFileBytes(dir_.File("entry.bin"), NoiseBytes(kEntrySize, 7));
    std::vector<TMixFileIn> files;
    for (int i = 0; i < kEntries; ++i)
      files.push_back({"entry" + std::to_string(i) + ".bin", dir_.File("entry.bin")});
    path_ = dir_.File("bench.mix");
    ok_ = WriteMixArchive(path_, files, TMixIdKind::Ts, error_);
  }
  const std::string& Path() const { return path_; }
  bool Ok() const { return ok_; }

 private:
  TTempDir dir_;
  std::string path_;
  std::string error_;
  bool ok_ = false;
};

const TBenchArchive& Archive() {
  static const TBenchArchive archive;
  return archive;
}

void MixExtractBench(benchmark::State& state) {
  const TBenchArchive& archive = Archive();
  if (!archive.Ok()) return state.SkipWithError("cannot write the archive");
  std::vector<uint8_t> sink(kMixCopyChunk);
  int64_t bytes = 0;
  for (auto _ : state) {
    TFileMixSource source(archive.Path());
    TMixIndex index;
    std::string error;
    if (!ReadMixIndex(source, index, error)) return state.SkipWithError("bad index");
    for (const TMixEntry& entry : index.Entries) {
      CopyMixRange(source, index.EntryStart(entry), entry.Size,
                   [&](const uint8_t* data, uint32_t size) {
                     std::memcpy(sink.data(), data, size);
                     benchmark::DoNotOptimize(sink.data());
                     return true;
                   });
      bytes += entry.Size;
    }
  }
  state.SetBytesProcessed(bytes);
}

void MixIndexBench(benchmark::State& state) {
  const TBenchArchive& archive = Archive();
  if (!archive.Ok()) return state.SkipWithError("cannot write the archive");
  size_t names = 0;
  for (auto _ : state) {
    TFileMixSource source(archive.Path());
    TMixIndex index;
    std::string error;
    ReadMixIndex(source, index, error);
    TMixNames found;
    ReadMixNameTable(source, index, found);
    names = found.Count();
    benchmark::DoNotOptimize(names);
  }
  // Each name under both hashes, the table's own included.
  if (names != 2 * (kEntries + 1))
    state.SkipWithError(("names missing: " + std::to_string(names)).c_str());
}

}  // namespace

BENCHMARK(MixExtractBench)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MixIndexBench)->Unit(benchmark::kMillisecond)->UseRealTime();
