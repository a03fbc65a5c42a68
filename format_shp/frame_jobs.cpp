#include "format_shp/frame_jobs.h"

#include <algorithm>
#include <cstring>
#include <mutex>
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

void DecodeInOrder(std::span<TFrameJob> jobs, TByteCursor& in, uint64_t& budget,
                   std::vector<uint8_t>& scratch) {
  for (TFrameJob& job : jobs) {
    job.BudgetBefore = budget;
    job.End = DecodeInto(job, in, job.Canvas ? job.Canvas : scratch.data(), budget);
    job.Used = job.BudgetBefore - budget;
  }
}

void DecodeInOrder(std::span<TFrameJob> jobs, TByteCursor& in, uint64_t& budget) {
  std::vector<uint8_t> scratch = ScratchFor(jobs);
  DecodeInOrder(jobs, in, budget, scratch);
}

// The jobs in blocks that two threads take: the calling thread from the
// front, the helper from the back, until they meet. However late the
// helper starts or slowly it runs, neither waits long for the other; the
// helper's jobs are always the last ones.
class TBlockSplit {
 public:
  explicit TBlockSplit(size_t jobs)
      : jobs_(jobs), size_((jobs + kBlocks - 1) / kBlocks), back_((jobs + size_ - 1) / size_) {}

  // The next block from the front, false when none is left.
  bool TakeFront(size_t& block) {
    std::lock_guard lock(mutex_);
    if (front_ == back_) return false;
    block = front_++;
    return true;
  }
  bool TakeBack(size_t& block) {
    std::lock_guard lock(mutex_);
    if (front_ == back_) return false;
    block = --back_;
    return true;
  }
  std::span<TFrameJob> Jobs(std::span<TFrameJob> jobs, size_t block) const {
    size_t first = block * size_;
    return jobs.subspan(first, std::min(size_, jobs_ - first));
  }
  // After both are done: where the helper's jobs begin.
  size_t Met() const { return std::min(front_ * size_, jobs_); }

 private:
  static constexpr size_t kBlocks = 64;  // fine enough to even out, few enough to read on
  const size_t jobs_;
  const size_t size_;
  std::mutex mutex_;
  size_t front_ = 0;
  size_t back_;
};

// The helper's blocks, last first, each in order, drawing on one budget.
void DecodeBlocksFromTheBack(TBlockSplit& split, std::span<TFrameJob> jobs, size_t firstBlock,
                             TByteCursor& in, uint64_t budget) {
  std::vector<uint8_t> scratch = ScratchFor(jobs);
  size_t block = firstBlock;
  do {
    DecodeInOrder(split.Jobs(jobs, block), in, budget, scratch);
  } while (split.TakeBack(block));
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
  // Each thread has a block of its own however the other runs.
  TBlockSplit split(jobs.size());
  size_t block = 0, helperFirst = 0;
  // Two jobs or more make two blocks or more; anything less is one thread's.
  if (!split.TakeFront(block) || !split.TakeBack(helperFirst))
    return DecodeInOrder(jobs, in, budget);

  // The helper starts with the whole budget and spends it on its own jobs
  // only. A job it decodes without running that out ends as in file order
  // with any budget above what it used; one that runs it out has a Used
  // equal to its BudgetBefore.
  std::thread helper;
  try {
    helper = std::thread(
        [&, budget] { DecodeBlocksFromTheBack(split, jobs, helperFirst, laterIn, budget); });
  } catch (const std::system_error&) {
    return DecodeInOrder(jobs, in, budget);
  }
  std::vector<uint8_t> scratch = ScratchFor(jobs);
  do {
    DecodeInOrder(split.Jobs(jobs, block), in, budget, scratch);
  } while (split.TakeFront(block));
  helper.join();
  std::span<TFrameJob> later = jobs.subspan(split.Met());

  // Its frames stand while each neither ran out of the helper's budget nor
  // takes all of what is left in order; from the first that does, they are
  // decoded again, in order. Only files that re-read their data get there.
  size_t kept = 0;
  for (; kept < later.size(); ++kept) {
    TFrameJob& job = later[kept];
    if (job.Used >= job.BudgetBefore || job.Used >= budget) break;
    job.BudgetBefore = budget;
    budget -= job.Used;
  }
  std::span<TFrameJob> again = later.subspan(kept);
  for (const TFrameJob& job : again) {
    if (job.Canvas) std::memset(job.Canvas, 0, job.CanvasSize);
  }
  DecodeInOrder(again, in, budget, scratch);
}

void RedecodeFrameJob(const TFrameJob& job, TByteCursor& in, uint8_t* canvas) {
  uint64_t budget = job.BudgetBefore;
  DecodeInto(job, in, canvas, budget);
}
