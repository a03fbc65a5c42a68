// A sprite that is part of a larger file (an archive entry) loads as the
// same sprite on its own would, on one decoding thread or two.
#include <gtest/gtest.h>

#include <algorithm>

#include "shp_test_util.h"

namespace {

TEST(ShpLoadRange, ASpriteInsideAFileLoadsAsOnItsOwn) {
  TTempDir dir;
  std::vector<TShpFrameIn> frames;
  for (uint16_t i = 0; i < 6; ++i)
    frames.push_back(CodedFrame(i, i, SpeckledRows(40, 30, i)));
  frames.push_back(RawFrame(1, 1, SpeckledRows(20, 10, 9)));
  const TBytes sprite = EncodeShp(64, 48, frames);
  TBytes around(37 + sprite.size() + 50, 0xEE);
  std::copy(sprite.begin(), sprite.end(), around.begin() + 37);
  WriteFileBytes(dir.File("archive.bin"), around);

  TScopedObject<TShp> alone(new TShp());
  LoadBytes(alone.Get(), dir, sprite);
  ASSERT_TRUE(alone->LoadReport.IsClean());
  struct {
    const char* what;
    uint32_t size;
    uint64_t twoThreadBytes;
    bool clean;
  } cases[] = {
      {"one thread", static_cast<uint32_t>(sprite.size()), kTwoThreadCanvasBytes, true},
      {"two threads", static_cast<uint32_t>(sprite.size()), 0, true},
      {"range cut before the last byte", static_cast<uint32_t>(sprite.size()) - 1, 0, false},
      {"range past the end of the file", 1u << 30, kTwoThreadCanvasBytes, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TScopedObject<TShp> shp(new TShp());
    shp->TwoThreadCanvasBytes = c.twoThreadBytes;
    shp->LoadShpRange(dir.File("archive.bin").c_str(), 37, c.size, "dir/tank.shp");
    EXPECT_EQ(shp->Name, "tank");
    EXPECT_EQ(shp->LoadReport.IsClean(), c.clean);
    ASSERT_EQ(shp->FrameCount, alone->FrameCount);
    for (int32_t i = 0; i < shp->FrameCount; ++i) {
      // Only the last frame's last byte can differ when the range is cut.
      if (!c.clean && i + 1 == shp->FrameCount) continue;
      EXPECT_EQ(CanvasBytes(shp->FrameAt(i)), CanvasBytes(alone->FrameAt(i))) << i;
    }
  }
}

}  // namespace
