#include "formats/play_list.h"

std::vector<TPlayedFrame> PlayList(const TPlayChoice& choice) {
  const int32_t count = choice.FrameCount > 0 ? choice.FrameCount : 0;
  const bool shadows = choice.Shadows && count % 2 == 0;
  const int32_t played = shadows ? count / 2 : count;
  std::vector<TPlayedFrame> list;
  auto add = [&](int32_t frame) {
    if (frame < 0 || frame >= played) return;
    list.push_back({frame, shadows ? frame + count / 2 : -1});
  };
  if (choice.OnlySelected) {
    for (int32_t frame : choice.Selected)
      add(frame);
  } else {
    for (int32_t frame = 0; frame < played; ++frame)
      add(frame);
  }
  return list;
}
