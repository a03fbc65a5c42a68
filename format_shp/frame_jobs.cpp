#include "format_shp/frame_jobs.h"

#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "format_shp/byte_cursor.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/file_io.h"
#include "toolkit/base/scoped_object.h"

namespace {

TDecodeEnd DecodeInto(const TFrameJob& job, TByteCursor& in, uint8_t* canvas, uint64_t& budget) {
  TFramePlacement at = job.At;
  at.FirstPixel = canvas + job.PixelAt;
  return job.Coded ? DecodeCodedRows(in, job.DataOffset, at, budget)
                   : DecodeRawRows(in, job.DataOffset, at, job.RowLead);
}

// A scratch canvas for the jobs without one of their own: decoders only
// write, so what it held before changes nothing in how a frame ends.
std::vector<uint8_t> ScratchFor(std::span<TFrameJob> jobs) {
  for (const TFrameJob& job : jobs) {
    if (!job.Canvas) return std::vector<uint8_t>(job.CanvasSize + kCodedRowOverrun);
  }
  return {};
}

void DecodeInOrder(std::span<TFrameJob> jobs, TByteCursor& in, uint64_t& budget) {
  std::vector<uint8_t> scratch = ScratchFor(jobs);
  for (TFrameJob& job : jobs) {
    job.BudgetBefore = budget;
    job.End = DecodeInto(job, in, job.Canvas ? job.Canvas : scratch.data(), budget);
    job.Used = job.BudgetBefore - budget;
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
  for (; kept < later.size() && later[kept].Used < budget; ++kept) {
    later[kept].BudgetBefore = budget;
    budget -= later[kept].Used;
  }
  std::span<TFrameJob> again = later.subspan(kept);
  for (const TFrameJob& job : again) {
    if (job.Canvas) std::memset(job.Canvas, 0, job.CanvasSize);
  }
  DecodeInOrder(again, in, budget);
}

void RedecodeFrameJob(const TFrameJob& job, TByteCursor& in, uint8_t* canvas) {
  uint64_t budget = job.BudgetBefore;
  DecodeInto(job, in, canvas, budget);
}
