// Decoding frame jobs on two threads: which thread reads through which stream.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "format_shp/byte_cursor.h"
#include "format_shp/frame_jobs.h"
#include "support/shp_writer.h"
#include "support/test_files.h"
#include "toolkit/base/scoped_object.h"

namespace {

// Every read of a stream made by LoggedReader, with the thread that made it.
std::mutex gReadsLock;
std::vector<std::pair<const TByteStream*, std::thread::id>> gReads;
uint32_t (*gFileRead)(TByteStream*, void*, uint32_t) = nullptr;
const TByteStream* gOpenedAgain = nullptr;

const TByteStream* gSlow = nullptr;  // its reads wait, so that the other thread runs ahead

uint32_t LoggedRead(TByteStream* stream, void* buffer, uint32_t count) {
  {
    std::lock_guard<std::mutex> hold(gReadsLock);
    gReads.emplace_back(stream, std::this_thread::get_id());
  }
  if (stream == gSlow) std::this_thread::sleep_for(std::chrono::milliseconds(30));
  return gFileRead(stream, buffer, count);
}

TByteStream* LoggedReader(const char* fileName) {
  TByteStream* stream = MakeFileReader(fileName);
  gFileRead = stream->Ops.Read;
  stream->Ops.Read = LoggedRead;
  return stream;
}

TByteStream* LoggedReaderOpenedAgain(const char* fileName) {
  TByteStream* stream = LoggedReader(fileName);
  gOpenedAgain = stream;
  return stream;
}

std::set<std::thread::id> ThreadsThatRead(const TByteStream* stream) {
  std::set<std::thread::id> threads;
  for (const auto& [read, thread] : gReads)
    if (read == stream) threads.insert(thread);
  return threads;
}

// However the two threads interleave, the helper must never touch the
// first thread's stream: each stream is read by one thread only.
TEST(FrameJobs, EachThreadReadsThroughItsOwnStream) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one processor: one thread";
  gReads.clear();
  gOpenedAgain = nullptr;
  // Eight raw frames of one 4-pixel row, frame i's row at 4i.
  const uint32_t frames = 8, width = 4;
  TBytes file(frames * width);
  for (size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<uint8_t>(i + 1);
  TTempDir dir;
  const std::string name = dir.File("rows.shp");
  WriteFileBytes(name, file);

  const uint32_t room = width + kCodedRowOverrun;
  TBytes canvases(frames * room, 0);
  std::vector<TFrameJob> jobs(frames);
  for (uint32_t i = 0; i < frames; ++i) {
    TFrameJob& job = jobs[i];
    job.Index = static_cast<int32_t>(i);
    job.DataOffset = i * width;
    job.Canvas = canvases.data() + i * room;
    job.CanvasSize = width;
    job.At = {job.Canvas, width, width, 1, width};
  }
  TScopedObject<TByteStream> first(LoggedReader(name.c_str()));
  {
    TByteCursor in(first, static_cast<uint32_t>(file.size()));
    uint64_t budget = 1000;
    DecodeFrameJobs(jobs, in, name.c_str(), 0, budget, LoggedReaderOpenedAgain);
  }
  for (uint32_t i = 0; i < frames; ++i) {
    EXPECT_EQ(TBytes(jobs[i].Canvas, jobs[i].Canvas + width),
              TBytes(file.begin() + i * width, file.begin() + (i + 1) * width))
        << i;
  }
  std::lock_guard<std::mutex> hold(gReadsLock);
  EXPECT_EQ(ThreadsThatRead(first), std::set<std::thread::id>{std::this_thread::get_id()});
  ASSERT_NE(gOpenedAgain, nullptr);
  std::set<std::thread::id> second = ThreadsThatRead(gOpenedAgain);
  EXPECT_EQ(second.size(), 1u);
  EXPECT_EQ(second.count(std::this_thread::get_id()), 0u);
}

// Coded frames of 4-pixel rows, one row each but for `longFrame`, which
// has 100; each job with a canvas of its own.
struct TCodedJobs {
  TCodedJobs(int count, int longFrame) {
    for (int i = 0; i < count; ++i) {
      uint32_t rows = i == longFrame ? 100 : 1;
      uint32_t at = static_cast<uint32_t>(file.size());
      for (uint32_t r = 0; r < rows; ++r) {
        uint8_t pixel = static_cast<uint8_t>(1 + (i * 10 + r % 7) % 250);
        TBytes row = EncodeCodedRow({pixel, 9, 9, pixel});
        file.insert(file.end(), row.begin(), row.end());
      }
      TFrameJob job;
      job.Index = i;
      job.Coded = true;
      job.DataOffset = at;
      job.CanvasSize = rows * 4;
      job.At = {nullptr, 4, 4, rows, 4};
      jobs.push_back(job);
    }
    for (TFrameJob& job : jobs) {
      canvases.emplace_back(job.CanvasSize + kCodedRowOverrun, 0);
      job.Canvas = job.At.FirstPixel = canvases.back().data();
    }
  }
  TBytes file;
  std::vector<TFrameJob> jobs;
  std::vector<TBytes> canvases;
};

// The helper takes blocks from the back while the first thread waits on
// its first read; whether its own budget or the one left in order runs
// out, the jobs end as on one thread, with the same charges.
TEST(FrameJobs, AHelperAheadDecodesAsOneThreadDoes) {
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one processor: one thread";
  struct TCase {
    const char* what;
    int frames;
    int longFrame;
    uint64_t budget;
  };
  // A 4-pixel row costs 6 bytes and the long frame 600.
  const TCase cases[] = {
      {"nothing runs out", 8, 7, 1000},
      {"the helper's first frame takes all", 8, 7, 100},
      {"the budget runs out in order first", 8, 3, 100},
      {"a last block shorter than the others", 131, 3, 2000},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    TCodedJobs one(c.frames, c.longFrame), two(c.frames, c.longFrame);
    const std::string name = dir.File("coded.shp");
    WriteFileBytes(name, one.file);
    uint64_t oneBudget = c.budget, twoBudget = c.budget;
    {
      TScopedObject<TByteStream> stream(MakeFileReader(name.c_str()));
      TByteCursor in(stream, static_cast<uint32_t>(one.file.size()));
      DecodeFrameJobs(one.jobs, in, name.c_str(), UINT64_MAX, oneBudget);
    }
    TScopedObject<TByteStream> first(LoggedReader(name.c_str()));
    gSlow = first;
    {
      TByteCursor in(first, static_cast<uint32_t>(two.file.size()));
      DecodeFrameJobs(two.jobs, in, name.c_str(), 0, twoBudget, LoggedReaderOpenedAgain);
    }
    gSlow = nullptr;
    EXPECT_EQ(twoBudget, oneBudget) << c.what;
    for (size_t i = 0; i < one.jobs.size(); ++i) {
      EXPECT_EQ(two.jobs[i].End, one.jobs[i].End) << c.what << " " << i;
      EXPECT_EQ(two.jobs[i].Used, one.jobs[i].Used) << c.what << " " << i;
      EXPECT_EQ(two.jobs[i].BudgetBefore, one.jobs[i].BudgetBefore) << c.what << " " << i;
      EXPECT_EQ(two.canvases[i], one.canvases[i]) << c.what << " " << i;
    }
  }
}

}  // namespace
