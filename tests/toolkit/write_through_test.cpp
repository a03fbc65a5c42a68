// The routine every output goes through: what it leaves after each kind of
// failure, and two writers of one file at once.
#include "toolkit/base/write_through.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "support/test_files.h"
#include "toolkit/base/file_io.h"

namespace {

const TBytes kOld = {'o', 'l', 'd'};
const TBytes kNew(1000, 'n');

std::vector<std::string> NamesIn(const TTempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool WriteAll(TByteStream* file, const TBytes& bytes, size_t from = 0, size_t to = SIZE_MAX) {
  uint32_t count = static_cast<uint32_t>(std::min(to, bytes.size()) - from);
  return file->Write(bytes.data() + from, count) == count;
}

enum class TWriter { Whole, AnswersFalse, Throws, ClosesTheFile };

bool RunWriter(TWriter writer, TByteStream* file) {
  bool written = WriteAll(file, kNew);
  switch (writer) {
    case TWriter::Whole:
      return written;
    case TWriter::AnswersFalse:
      return false;
    case TWriter::Throws:
      throw std::runtime_error("no memory left");
    case TWriter::ClosesTheFile:
      // The routine's own close then fails, as when a file system reports a
      // failed write only at close.
      CloseFile(file->FileHandle);
      return written;
  }
  return false;
}

TEST(WriteThrough, ReplacesTheTargetOnlyWhenAllWasWrittenAndLeavesNothingElse) {
  struct TCase {
    const char* Name;
    const char* Target;
    bool Existed;
    TWriter Writer;
    bool Written;
  } cases[] = {
      {"new file", "out.bin", false, TWriter::Whole, true},
      {"replaced file", "out.bin", true, TWriter::Whole, true},
      {"writer fails", "out.bin", true, TWriter::AnswersFalse, false},
      {"writer fails, no file before", "out.bin", false, TWriter::AnswersFalse, false},
      {"writer throws", "out.bin", true, TWriter::Throws, false},
      {"close fails", "out.bin", true, TWriter::ClosesTheFile, false},
      {"no such folder", "gone/out.bin", false, TWriter::Whole, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    std::string target = dir.File(c.Target);
    if (c.Existed) WriteFileBytes(target, kOld);
    bool written = false;
    bool thrown = false;
    try {
      written = WriteThroughTemporary(target,
                                      [&](TByteStream* file) { return RunWriter(c.Writer, file); });
    } catch (const std::runtime_error&) {
      thrown = true;
    }
    EXPECT_EQ(thrown, c.Writer == TWriter::Throws);
    EXPECT_EQ(written, c.Written);
    EXPECT_EQ(ReadFileBytes(target), c.Written ? kNew : c.Existed ? kOld : TBytes{});
    std::vector<std::string> left;
    if (c.Written || c.Existed) left = {c.Target};
    EXPECT_EQ(NamesIn(dir), left);
  }
}

TEST(FileLayer, CreateNewFileRefusesAnExistingFile) {
  TTempDir dir;
  std::string name = dir.File("new.bin");
  WriteFileBytes(name, kOld);
  TFileHandle file = CreateNewFile(name.c_str());
  EXPECT_EQ(file, kInvalidFileHandle);
  CloseFile(file);
  EXPECT_EQ(ReadFileBytes(name), kOld);
}

// A second writer of the file comes and goes while the first is half-way:
// it gets a temporary file of its own, and each result is whole.
TEST(WriteThrough, TwoWritersOfOneFileDoNotShareATemporaryFile) {
  TTempDir dir;
  std::string target = dir.File("out.bin");
  const TBytes first(64 * 1024, 'a'), second(64 * 1024, 'b');
  std::vector<std::string> meanwhile;
  bool secondWritten = false;
  TBytes afterSecond;
  bool firstWritten = WriteThroughTemporary(target, [&](TByteStream* file) {
    bool done = WriteAll(file, first, 0, first.size() / 2);
    secondWritten = WriteThroughTemporary(target, [&](TByteStream* other) {
      meanwhile = NamesIn(dir);
      return WriteAll(other, second);
    });
    afterSecond = ReadFileBytes(target);
    return done && WriteAll(file, first, first.size() / 2);
  });
  EXPECT_EQ(std::count_if(meanwhile.begin(), meanwhile.end(),
                          [](const std::string& name) { return name.ends_with(".partial"); }),
            2)
      << testing::PrintToString(meanwhile);
  EXPECT_TRUE(secondWritten);
  EXPECT_TRUE(firstWritten);
  EXPECT_EQ(afterSecond, second);
  EXPECT_EQ(ReadFileBytes(target), first);
  EXPECT_EQ(NamesIn(dir), std::vector<std::string>{"out.bin"});
}

}  // namespace
