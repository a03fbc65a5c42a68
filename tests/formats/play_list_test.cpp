// Which frames a player shows: all, the selected ones, the first half over
// their shadows.
#include "formats/play_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using TPairs = std::vector<std::pair<int32_t, int32_t>>;  // frame, shadow

TEST(PlayList, FramesAndShadowsFollowTheChoice) {
  struct TCase {
    const char* Name;
    TPlayChoice Choice;
    TPairs Expected;
  };
  const TCase cases[] = {
      {"all", {3, false, {}, false}, {{0, -1}, {1, -1}, {2, -1}}},
      {"no frames", {0, false, {}, true}, {}},
      {"negative count", {-4, false, {}, false}, {}},
      {"selected, in list order", {5, true, {4, 0, 2}, false}, {{4, -1}, {0, -1}, {2, -1}}},
      {"selected out of range", {3, true, {-1, 3, 1}, false}, {{1, -1}}},
      {"nothing selected", {3, true, {}, false}, {}},
      {"shadows: first half", {6, false, {}, true}, {{0, 3}, {1, 4}, {2, 5}}},
      {"shadows of two frames", {2, false, {}, true}, {{0, 1}}},
      {"shadows ignored on an odd count",
       {5, false, {}, true},
       {{0, -1}, {1, -1}, {2, -1}, {3, -1}, {4, -1}}},
      {"selected with shadows: second half dropped",
       {8, true, {5, 3, 0, 4}, true},
       {{3, 7}, {0, 4}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPairs seen;
    for (const TPlayedFrame& played : PlayList(c.Choice))
      seen.emplace_back(played.Frame, played.Shadow);
    EXPECT_EQ(seen, c.Expected);
  }
}

}  // namespace
