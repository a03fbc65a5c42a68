#include "cli/frame_pipeline.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "format_shp/frame_stream.h"

namespace {

// The second thread: makes one frame's image at a time when asked.
class THelper {
 public:
  THelper(std::unique_ptr<TShpFrameReader> reader, const TMakeFrameImage& make)
      : reader_(std::move(reader)), make_(make), thread_([this] { Run(); }) {}
  ~THelper() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  THelper(const THelper&) = delete;
  THelper& operator=(const THelper&) = delete;

  void Start(int32_t index) {
    std::lock_guard lock(mutex_);
    index_ = index;
    busy_ = true;
    changed_.notify_all();
  }
  // Waits for the frame started last; answers whether it was made.
  bool Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
    return made_;
  }
  const TImageBytes& Image() const { return image_; }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return busy_ || stop_; });
      if (stop_) return;
      lock.unlock();
      bool made = make_(index_, reader_.get(), canvas_, image_);
      lock.lock();
      made_ = made;
      busy_ = false;
      changed_.notify_all();
    }
  }

  std::unique_ptr<TShpFrameReader> reader_;
  const TMakeFrameImage& make_;
  std::vector<uint8_t> canvas_;
  TImageBytes image_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int32_t index_ = 0;
  bool busy_ = false;
  bool made_ = false;
  bool stop_ = false;
  std::thread thread_;  // last: started once everything it uses is ready
};

std::unique_ptr<THelper> StartHelper(TShpFrameStream& stream, const TMakeFrameImage& make) {
  std::unique_ptr<TShpFrameReader> reader = stream.SecondReader();
  if (!reader) return nullptr;
  try {
    return std::make_unique<THelper>(std::move(reader), make);
  } catch (const std::system_error&) {
    return nullptr;  // one thread does it all
  }
}

}  // namespace

void MakeAndWriteInOrder(TShpFrameStream& stream, const std::vector<int32_t>& frames,
                         bool twoThreads, const TMakeFrameImage& make,
                         const TWriteFrameImage& write) {
  std::unique_ptr<THelper> helper =
      twoThreads && frames.size() >= 2 ? StartHelper(stream, make) : nullptr;
  std::vector<uint8_t> canvas;
  TImageBytes image;
  const size_t step = helper ? 2 : 1;
  for (size_t k = 0; k < frames.size(); k += step) {
    const bool pair = helper && k + 1 < frames.size();
    if (pair) helper->Start(frames[k + 1]);
    bool made = make(frames[k], nullptr, canvas, image);
    bool written = write(frames[k], made, image);
    bool helperMade = pair && helper->Finish();  // its buffers are free again only then
    if (!written) return;
    if (pair && !write(frames[k + 1], helperMade, helper->Image())) return;
  }
}
