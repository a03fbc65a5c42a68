#include "format_shp/frame_jobs.h"

#include <cstring>
#include <system_error>
#include <thread>

#include "format_shp/byte_cursor.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/scoped_object.h"

namespace {

void DecodeInOrder(std::span<TFrameJob> jobs, TByteCursor& in, uint64_t& budget) {
  for (TFrameJob& job : jobs) {
    uint64_t before = budget;
    job.End = job.Coded ? DecodeCodedRows(in, job.DataOffset, job.At, budget)
                        : DecodeRawRows(in, job.DataOffset, job.At, job.RowLead);
    job.Used = before - budget;
  }
}

bool WorthASecondThread(std::span<TFrameJob> jobs, uint64_t twoThreadBytes) {
  uint64_t bytes = 0;
  for (const TFrameJob& job : jobs)
    bytes += job.CanvasSize;
  return jobs.size() >= 2 && bytes >= twoThreadBytes && std::thread::hardware_concurrency() >= 2;
}

}  // namespace

void DecodeFrameJobs(std::span<TFrameJob> jobs, TByteCursor& in, const char* fileName,
                     uint64_t twoThreadBytes, uint64_t& budget,
                     TByteStream* (*openReader)(const char*)) {
  if (!WorthASecondThread(jobs, twoThreadBytes)) return DecodeInOrder(jobs, in, budget);
  // Opened again by name: another file may have taken the name since.
  TScopedObject<TByteStream> stream(openReader(fileName));
  if (stream->FileHandle == kInvalidFileHandle ||
      !IsSameFile(stream->FileHandle, in.Stream()->FileHandle)) {
    return DecodeInOrder(jobs, in, budget);
  }
  TByteCursor laterIn(stream, in.End(), in.Base());
  std::span<TFrameJob> earlier = jobs.first(jobs.size() / 2);
  std::span<TFrameJob> later = jobs.subspan(earlier.size());

  // The later half starts with the whole budget: never less than it has
  // when decoded in order, so it stops for the budget only where that would too.
  uint64_t laterBudget = budget;
  std::thread helper;
  try {
    helper = std::thread([&] { DecodeInOrder(later, laterIn, laterBudget); });
  } catch (const std::system_error&) {
    return DecodeInOrder(jobs, in, budget);
  }
  DecodeInOrder(earlier, in, budget);
  helper.join();

  // Its frames stand while the budget left in order still exceeds what
  // each took; from the first that would have run it out, they are
  // decoded again, in order. Only files that re-read their data get there.
  size_t kept = 0;
  for (; kept < later.size() && later[kept].Used < budget; ++kept)
    budget -= later[kept].Used;
  std::span<TFrameJob> again = later.subspan(kept);
  for (const TFrameJob& job : again)
    std::memset(job.Canvas, 0, job.CanvasSize);
  DecodeInOrder(again, in, budget);
}
