#pragma once

#include <cstdint>
#include <vector>

// Which frames of a sprite a player shows, in order, and which frame lies
// under each as its shadow. Portable: the viewer and a web page share it.

struct TPlayedFrame {
  int32_t Frame = 0;
  int32_t Shadow = -1;  // -1: none
};

struct TPlayChoice {
  int32_t FrameCount = 0;
  // Only the frames listed in `Selected`, in that order (out-of-range
  // entries are skipped).
  bool OnlySelected = false;
  std::vector<int32_t> Selected;
  // A sprite with an even number of frames N keeps the shadow of frame i in
  // frame i + N/2: only the first half is played, each over its shadow. No
  // effect on an odd count.
  bool Shadows = false;
};

std::vector<TPlayedFrame> PlayList(const TPlayChoice& choice);
