#include "cli/frame_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "format_shp/frame_stream.h"

namespace {

// The images in flight take at most this much, unless two frames' do.
constexpr uint64_t kRingBytes = uint64_t{4} << 20;
constexpr size_t kMostSlots = 32;

// One frame's image between its making and its writing.
struct TSlot {
  TImageBytes Image;
  bool Ready = false;
  bool Made = false;
  std::exception_ptr Failure;  // thrown while making it, thrown again in order
};

// Frames are taken in list order by whichever thread is free: the helper
// makes them, and the calling thread writes each in turn, making frames
// itself whenever the next one to write is not ready. Up to the ring's
// size are in flight. A helper that finds the ring full sleeps until half
// of it is free again, so that the threads meet once per half ring rather
// than once per frame.
class TFrameRing {
 public:
  TFrameRing(TShpFrameStream& stream, const std::vector<int32_t>& frames,
             const TMakeFrameImage& make)
      : frames_(frames),
        make_(make),
        slots_(FramesInFlight(stream.CanvasSize())),
        resumeAt_(std::max<size_t>(1, slots_.size() / 2)),
        reader_(stream.SecondReader()) {}
  ~TFrameRing() {
    if (!helper_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    helperMayGo_.notify_one();
    helper_.join();
  }
  TFrameRing(const TFrameRing&) = delete;
  TFrameRing& operator=(const TFrameRing&) = delete;

  // False when there is no second reader or thread: one thread does it all.
  bool StartHelper() {
    if (!reader_) return false;
    try {
      helper_ = std::thread([this] { RunHelper(); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  // Writes every frame in order, stopping after the first write that fails.
  void WriteInOrder(const TWriteFrameImage& write) {
    for (size_t k = 0; k < frames_.size(); ++k) {
      TSlot& slot = ReadySlot(k);
      if (slot.Failure) std::rethrow_exception(slot.Failure);
      bool written = write(frames_[k], slot.Made, slot.Image);
      if (!written) return;
      std::lock_guard lock(mutex_);
      slot.Ready = false;
      nextToWrite_ = k + 1;
      if (helperWaits_ && FreeSlots() >= resumeAt_) {
        helperWaits_ = false;
        helperMayGo_.notify_one();
      }
    }
  }

 private:
  size_t FreeSlots() const { return nextToWrite_ + slots_.size() - nextToMake_; }
  TSlot& SlotOf(size_t k) { return slots_[k % slots_.size()]; }

  // Frame k made, by the helper or here: while it is not, the next frame
  // not yet taken is made here, or, with none to take, the helper is waited for.
  TSlot& ReadySlot(size_t k) {
    std::unique_lock lock(mutex_);
    while (!SlotOf(k).Ready) {
      if (nextToMake_ < frames_.size() && FreeSlots() > 0) {
        MakeNext(lock, nullptr, canvas_);
      } else {
        writerWaits_ = true;
        frameMade_.wait(lock);
        writerWaits_ = false;
      }
    }
    return SlotOf(k);
  }

  // Takes the next frame and makes it with the lock released.
  void MakeNext(std::unique_lock<std::mutex>& lock, TShpFrameReader* reader,
                std::vector<uint8_t>& canvas) {
    size_t k = nextToMake_++;
    TSlot& slot = SlotOf(k);
    lock.unlock();
    bool made = false;
    std::exception_ptr failure;
    try {
      made = make_(frames_[k], reader, canvas, slot.Image);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    slot.Made = made;
    slot.Failure = failure;
    slot.Ready = true;
  }

  void RunHelper() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (stop_ || nextToMake_ == frames_.size()) return;
      if (FreeSlots() == 0) {
        helperWaits_ = true;  // cleared by the writer once half the ring is free
        helperMayGo_.wait(lock, [&] { return stop_ || !helperWaits_; });
        continue;
      }
      MakeNext(lock, reader_.get(), helperCanvas_);
      if (writerWaits_ && SlotOf(nextToWrite_).Ready) frameMade_.notify_one();
    }
  }

  const std::vector<int32_t>& frames_;
  const TMakeFrameImage& make_;
  std::vector<TSlot> slots_;
  const size_t resumeAt_;
  std::unique_ptr<TShpFrameReader> reader_;
  std::vector<uint8_t> canvas_;
  std::vector<uint8_t> helperCanvas_;
  std::mutex mutex_;
  std::condition_variable frameMade_;
  std::condition_variable helperMayGo_;
  size_t nextToMake_ = 0;   // the next frame no thread has taken
  size_t nextToWrite_ = 0;  // frames before it are written and their slots free
  bool writerWaits_ = false;
  bool helperWaits_ = false;
  bool stop_ = false;
  std::thread helper_;
};

void MakeAndWriteOnOneThread(const std::vector<int32_t>& frames, const TMakeFrameImage& make,
                             const TWriteFrameImage& write) {
  std::vector<uint8_t> canvas;
  TImageBytes image;
  for (int32_t index : frames) {
    bool made = make(index, nullptr, canvas, image);
    if (!write(index, made, image)) return;
  }
}

}  // namespace

size_t FramesInFlight(uint32_t canvasSize) {
  uint64_t fit = kRingBytes / std::max<uint64_t>(canvasSize, 1);
  return static_cast<size_t>(std::clamp<uint64_t>(fit, 2, kMostSlots));
}

void MakeAndWriteInOrder(TShpFrameStream& stream, const std::vector<int32_t>& frames,
                         bool twoThreads, const TMakeFrameImage& make,
                         const TWriteFrameImage& write) {
  if (twoThreads && frames.size() >= 2) {
    TFrameRing ring(stream, frames, make);
    if (ring.StartHelper()) return ring.WriteInOrder(write);
  }
  MakeAndWriteOnOneThread(frames, make, write);
}
