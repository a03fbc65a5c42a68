// Decoding frame jobs on two threads: which thread reads through which stream.
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "format_shp/byte_cursor.h"
#include "format_shp/frame_jobs.h"
#include "support/test_files.h"
#include "toolkit/base/scoped_object.h"

namespace {

// Every read of a stream made by LoggedReader, with the thread that made it.
std::mutex gReadsLock;
std::vector<std::pair<const TByteStream*, std::thread::id>> gReads;
uint32_t (*gFileRead)(TByteStream*, void*, uint32_t) = nullptr;
const TByteStream* gOpenedAgain = nullptr;

uint32_t LoggedRead(TByteStream* stream, void* buffer, uint32_t count) {
  {
    std::lock_guard<std::mutex> hold(gReadsLock);
    gReads.emplace_back(stream, std::this_thread::get_id());
  }
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

// However the two threads interleave, the later half must never touch the
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

}  // namespace
