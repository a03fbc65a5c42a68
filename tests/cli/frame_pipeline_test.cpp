// Frames made on two threads and written in order: every frame once, in
// list order, with its own image, never more in flight than the ring
// holds, and nothing written after a failed write or a failed making.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <numeric>
#include <random>
#include <stdexcept>
#include <thread>

#include "cli/frame_pipeline.h"
#include "format_shp/frame_stream.h"
#include "support/shp_writer.h"
#include "support/test_files.h"

namespace {

constexpr int kNone = -1;

struct TPipelineCase {
  const char* What;
  uint16_t Width;  // the sprite box, which sets how many frames are in flight
  uint16_t Height;
  int Frames;
  bool TwoThreads;
  int FailWriteAt;  // position in the list, or kNone
  int ThrowAt;
  int UnmadeAt;  // made answers false there
};

// A list of `count` frames in an order of its own: the last frame first.
std::vector<int32_t> ListOf(int count) {
  std::vector<int32_t> frames(static_cast<size_t>(count));
  std::iota(frames.begin(), frames.end(), 0);
  if (count > 1) std::rotate(frames.begin(), frames.end() - 1, frames.end());
  return frames;
}

// The image a frame is made into: its index, and who made it.
TImageBytes ImageOf(int32_t index) {
  return {static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8), 0x5A};
}

TEST(FramePipeline, WritesEveryFrameOnceInOrderAndStopsAtAFailure) {
  const TPipelineCase cases[] = {
      {"one thread", 4, 4, 40, false, kNone, kNone, 7},
      {"one frame on two threads", 4, 4, 1, true, kNone, kNone, kNone},
      {"many rounds of the ring", 4, 4, 150, true, kNone, kNone, 33},
      {"two slots, a write fails", 2048, 1024, 9, true, 5, kNone, kNone},
      {"the first write fails", 4, 4, 100, true, 0, kNone, kNone},
      {"the last write fails", 4, 4, 70, true, 69, kNone, kNone},
      {"a write fails at the ring's end", 4, 4, 100, true, 31, kNone, 32},
      {"making throws", 4, 4, 100, true, kNone, 40, kNone},
      {"making the first throws", 2048, 1024, 6, true, kNone, 0, kNone},
  };
  TTempDir dir;
  for (const TPipelineCase& c : cases) {
    std::vector<TShpFrameIn> in(static_cast<size_t>(c.Frames), FrameWithoutPixels(0, 0, 1, 1));
    std::string path = dir.File("s.shp");
    WriteFileBytes(path, EncodeShp(c.Width, c.Height, in));
    TShpFrameStream stream;
    stream.Open(path.c_str());
    stream.Survey(UINT64_MAX);
    ASSERT_EQ(stream.FrameCount(), c.Frames) << c.What;
    const std::vector<int32_t> frames = ListOf(c.Frames);
    const size_t inFlight = FramesInFlight(stream.CanvasSize());
    size_t helped = 0;
    for (int round = 0; round < 20; ++round) {
      std::mutex mutex;
      std::mt19937 random(static_cast<uint32_t>(round));
      std::atomic<size_t> started = 0, written = 0, byHelper = 0;
      std::vector<int32_t> writes;
      auto pause = [&] {
        std::unique_lock lock(mutex);
        int micros = static_cast<int>(random() % 20);
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::microseconds(micros));
      };
      auto make = [&](int32_t index, TShpFrameReader* reader, std::vector<uint8_t>&,
                      TImageBytes& image) {
        EXPECT_LE(++started - written, inFlight) << c.What;
        byHelper += reader != nullptr;
        pause();
        size_t at = std::find(frames.begin(), frames.end(), index) - frames.begin();
        if (static_cast<int>(at) == c.ThrowAt) throw std::runtime_error("no memory");
        image = ImageOf(index);
        return static_cast<int>(at) != c.UnmadeAt;
      };
      auto write = [&](int32_t index, bool made, const TImageBytes& image) {
        int at = static_cast<int>(writes.size());
        writes.push_back(index);
        EXPECT_EQ(made, at != c.UnmadeAt) << c.What << " at " << at;
        if (made) {
          EXPECT_EQ(image, ImageOf(index)) << c.What << " at " << at;
        }
        pause();
        ++written;
        return at != c.FailWriteAt;
      };
      bool thrown = false;
      try {
        MakeAndWriteInOrder(stream, frames, c.TwoThreads, make, write);
      } catch (const std::runtime_error&) {
        thrown = true;
      }
      EXPECT_EQ(thrown, c.ThrowAt != kNone) << c.What;
      int last = c.FailWriteAt != kNone ? c.FailWriteAt + 1
                 : c.ThrowAt != kNone   ? c.ThrowAt
                                        : c.Frames;
      ASSERT_EQ(writes, std::vector<int32_t>(frames.begin(), frames.begin() + last))
          << c.What << " round " << round;
      helped += byHelper;
    }
    // No helper for one thread or one frame; one that takes part in a long
    // run that nothing stops early.
    const bool alone = !c.TwoThreads || c.Frames < 2;
    const bool shared =
        c.TwoThreads && c.Frames >= 100 && c.FailWriteAt == kNone && c.ThrowAt == kNone;
    EXPECT_TRUE(!alone || helped == 0) << c.What;
    EXPECT_TRUE(!shared || helped > 0) << c.What;
  }
}

}  // namespace
