// The routine every output goes through: what it leaves after each kind of
// failure, and two writers of one file at once.
#include "toolkit/base/write_through.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

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

// Where threads wait until all of them have come (std::latch hangs under
// Wine with this toolchain).
class TMeeting {
 public:
  explicit TMeeting(int count) : left_(count) {}
  void Arrive() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (--left_ == 0) everyone_.notify_all();
  }
  void ArriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (--left_ == 0) everyone_.notify_all();
    everyone_.wait(lock, [this] { return left_ <= 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable everyone_;
  int left_;
};

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

// Both writers stop half-way until each has its temporary file open: there
// must be two of them. The first then finishes while the second still
// writes, and each result is whole.
TEST(WriteThrough, TwoWritersOfOneFileDoNotShareATemporaryFile) {
  TTempDir dir;
  std::string target = dir.File("out.bin");
  const TBytes contents[2] = {TBytes(64 * 1024, 'a'), TBytes(64 * 1024, 'b')};
  const size_t half = contents[0].size() / 2;
  TMeeting bothHalfWay(2), firstDone(2);
  std::vector<std::string> halfWay;
  TBytes afterFirst;
  bool written[2] = {false, false};
  auto write = [&](int i) {
    bool called = false;
    written[i] = WriteThroughTemporary(target, [&](TByteStream* file) {
      called = true;
      bool done = WriteAll(file, contents[i], 0, half);
      bothHalfWay.ArriveAndWait();
      if (i == 0) halfWay = NamesIn(dir);
      if (i == 1) firstDone.ArriveAndWait();
      return done && WriteAll(file, contents[i], half);
    });
    // Neither writer may wait for one that never began or has ended.
    if (!called) bothHalfWay.Arrive();
    if (i == 0) {
      afterFirst = ReadFileBytes(target);
      firstDone.Arrive();
    } else if (!called) {
      firstDone.Arrive();
    }
  };
  std::thread second(write, 1);
  write(0);
  second.join();

  auto temporary = [](const std::string& name) { return name.ends_with(".partial"); };
  EXPECT_EQ(std::count_if(halfWay.begin(), halfWay.end(), temporary), 2)
      << testing::PrintToString(halfWay);
  EXPECT_TRUE(written[0]);
  EXPECT_TRUE(written[1]);
  EXPECT_EQ(afterFirst, contents[0]);
  EXPECT_EQ(ReadFileBytes(target), contents[1]);
  EXPECT_EQ(NamesIn(dir), std::vector<std::string>{"out.bin"});
}

}  // namespace
