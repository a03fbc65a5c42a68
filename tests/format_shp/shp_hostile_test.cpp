// Damaged and hostile files: every repair and every bound on time and memory.
#include <gtest/gtest.h>

#include <functional>

#include "format_shp/byte_cursor.h"
#include "shp_test_util.h"
#include "support/hostile_shp.h"

namespace {

TEST(ShpDamaged, FilesWithoutAHeaderLoadNoFramesAndResetTheBox) {
  TTempDir dir;
  std::filesystem::create_directory(dir.Path() / "folder.shp");
  const TBytes good = EncodeShp(40, 30, {CodedFrame(0, 0, {{1}})});
  struct {
    const char* name;
    std::optional<TBytes> bytes;
    TShpRefusal refusal;
  } cases[] = {
      {"missing.shp", std::nullopt, TShpRefusal::CannotOpen},
      {"folder.shp", std::nullopt, TShpRefusal::CannotOpen},
      {"empty.shp", TBytes{}, TShpRefusal::ShorterThanHeader},
      {"six.shp", TBytes(good.begin(), good.begin() + 6), TShpRefusal::ShorterThanHeader},
      {"seven.shp", TBytes(good.begin(), good.begin() + 7), TShpRefusal::ShorterThanHeader},
  };
  TScopedObject<TShp> shp(new TShp());
  for (const auto& c : cases) {
    LoadBytes(shp.Get(), dir, good, "good.shp");  // counts of a previous file must not survive
    ASSERT_EQ(shp->FrameCount, 1);
    if (c.bytes) WriteFileBytes(dir.File(c.name), *c.bytes);
    shp->LoadShpFile(dir.File(c.name).c_str());
    EXPECT_EQ(shp->FrameCount, 0) << c.name;
    EXPECT_EQ(shp->Frames->Count, 0) << c.name;
    EXPECT_EQ(shp->Width, 0) << c.name;
    EXPECT_EQ(shp->Height, 0) << c.name;
    EXPECT_EQ(shp->LoadReport.Refusal, c.refusal) << c.name;
    EXPECT_EQ(shp->SourceStream, nullptr);
  }
  // Eight bytes are a whole header: a sprite with no frames, nothing to repair.
  LoadBytes(shp.Get(), dir, TBytes(good.begin(), good.begin() + 8));
  EXPECT_EQ(shp->Width, 40);
  EXPECT_EQ(shp->FrameCount, 1);
  EXPECT_EQ(shp->LoadReport.HeadersCut, 1u);
}

// A frame table cut by the end of the file: the fields wholly present are
// read, the cut field and everything after it read 0, and frames whose
// headers are missing are frames without pixels.
TEST(ShpDamaged, AFrameTableThatEndsEarly) {
  TShpFrameIn a = FrameWithData(1, 2, 3, 4, 3, {});
  a.Extra1 = 0x11111111;
  a.Extra2 = 0x22222222;
  a.DataOffset = 0x33333333;
  const TBytes whole = EncodeShp(9, 9, {a, a, a});
  struct {
    size_t cut;
    std::vector<uint32_t> second;  // X Y Cx Cy Compression Extra1 Extra2 DataOffset
    uint32_t headersCut;
  } cases[] = {
      {8 + 24 + 0, {0, 0, 0, 0, 0, 0, 0, 0}, 2},
      {8 + 24 + 3, {1, 0, 0, 0, 0, 0, 0, 0}, 2},
      {8 + 24 + 8, {1, 2, 3, 4, 0, 0, 0, 0}, 2},
      {8 + 24 + 11, {1, 2, 3, 4, 0, 0, 0, 0}, 2},
      {8 + 24 + 16, {1, 2, 3, 4, 3, 0x11111111, 0, 0}, 2},
      {8 + 24 + 23, {1, 2, 3, 4, 3, 0x11111111, 0x22222222, 0}, 2},
      {8 + 48, {1, 2, 3, 4, 3, 0x11111111, 0x22222222, 0x33333333}, 1},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, TBytes(whole.begin(), whole.begin() + c.cut));
    ASSERT_EQ(shp->FrameCount, 3) << c.cut;
    const TShpSprite* f = shp->FrameAt(1);
    EXPECT_EQ(std::vector<uint32_t>({f->X, f->Y, f->FrameWidth, f->FrameHeight, f->Compression,
                                     f->Extra1, f->Extra2, f->DataOffset}),
              c.second)
        << c.cut;
    EXPECT_EQ(f->HasPixels, f->DataOffset != 0) << c.cut;
    EXPECT_FALSE(shp->FrameAt(2)->HasPixels) << c.cut;
    EXPECT_EQ(shp->LoadReport.HeadersCut, c.headersCut) << c.cut;
  }
}

// Cut a file with raw and coded frames, and raw rows after a length field,
// at every length past its frame table: canvases keep their full size, each
// pixel is either the one of the whole file or colour 0, and the report says
// which frames lost data.
TEST(ShpDamaged, DataThatEndsEarlyAtEveryCutPoint) {
  const uint16_t width = 11, height = 7;
  TShpFrameIn fielded = RawFrame(2, 1, SpeckledRows(8, 6, 4));
  fielded.Compression = 0xCCCCCC02;
  const std::vector<TShpFrameIn> frames = {CodedFrame(1, 1, SpeckledRows(9, 5, 1)),
                                           RawFrame(0, 2, SpeckledRows(10, 4, 2)), fielded,
                                           CodedFrame(3, 0, SpeckledRows(6, 7, 3))};
  const TBytes whole = EncodeShp(width, height, frames);
  TTempDir dir;
  TScopedObject<TShp> complete(new TShp());
  LoadBytes(complete.Get(), dir, whole, "whole.shp");
  ASSERT_TRUE(complete->LoadReport.IsClean());
  const size_t canvasSize = height * 12u;

  for (size_t cut = 8 + 24 * frames.size(); cut < whole.size(); ++cut) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, TBytes(whole.begin(), whole.begin() + cut));
    ASSERT_EQ(shp->FrameCount, int32_t(frames.size()));
    uint32_t damaged = 0;
    for (int i = 0; i < shp->FrameCount; ++i) {
      TBytes canvas = CanvasBytes(shp->FrameAt(i));
      TBytes full = CanvasBytes(complete->FrameAt(i));
      ASSERT_EQ(canvas.size(), canvasSize) << "cut " << cut << " frame " << i;
      bool same = true;
      for (size_t k = 0; k < canvas.size(); ++k) {
        EXPECT_TRUE(canvas[k] == full[k] || canvas[k] == 0) << "cut " << cut << " frame " << i;
        same = same && canvas[k] == full[k];
      }
      damaged += same ? 0 : 1;
    }
    const TShpLoadReport& report = shp->LoadReport;
    EXPECT_GE(report.Truncated.Count + report.DataPastEnd.Count, damaged) << cut;
    EXPECT_GE(report.Truncated.Count + report.DataPastEnd.Count, 1u) << cut;
  }
}

// A coded row that stops at a zero byte, or keeps adding zero counts, until
// the end of the file: decoding ends there.
TEST(ShpDamaged, CodedRowsThatNeverReachTheirWidth) {
  struct {
    const char* what;
    TBytes data;
  } cases[] = {
      {"a zero byte at the very end", {2, 0, 5, 0}},
      {"zero counts up to the end", {2, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"a length field cut in half", {2}},
      {"no data at all", {}},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(8, 2, {FrameWithData(0, 0, 65535, 2, 3, c.data)}));
    TBytes canvas = CanvasBytes(shp->FrameAt(0));
    ASSERT_EQ(canvas.size(), 16u) << c.what;
    EXPECT_EQ(canvas[0], c.data.size() > 2 ? c.data[2] : 0) << c.what;
    EXPECT_EQ(shp->LoadReport.Truncated.Count + shp->LoadReport.DataPastEnd.Count, 1u) << c.what;
  }
}

// A zero item whose count byte would lie past the end of the file is data
// cut short, also where rows are decoded straight from a chunk: in a file
// over one chunk, the bytes after the last chunk still hold an earlier
// chunk's, which a count read there would take for data.
TEST(ShpDamaged, AZeroItemWithoutItsCountEndsALargeFile) {
  const uint16_t width = 64, height = 1000;
  std::vector<TBytes> rows(height, TBytes(width, 200));
  TBytes data;
  for (uint16_t r = 0; r + 1 < height; ++r) {
    TBytes row = EncodeCodedRow(rows[r]);
    data.insert(data.end(), row.begin(), row.end());
  }
  rows.back().back() = 0;
  TBytes last = EncodeCodedRow(rows.back());
  ASSERT_EQ(last.back(), 1);  // the count of the final zero item, left out
  data.insert(data.end(), last.begin(), last.end() - 1);
  const TBytes file = EncodeShp(width, height, {FrameWithData(0, 0, width, height, 3, data)});
  ASSERT_GT(file.size(), TByteCursor::kChunkSize);
  ASSERT_NE(file[file.size() - TByteCursor::kChunkSize], 0);  // where the count would be read

  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, file);
  EXPECT_EQ(shp->LoadReport.Truncated.Count, 1u);
  EXPECT_EQ(shp->LoadReport.Truncated.First, 0);
  EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), CanvasOf(width, rows));
}

// Frames reaching outside the sprite box keep what lies inside it.
TEST(ShpDamaged, FramesOutsideTheBoxAreClipped) {
  struct {
    uint16_t x, y, cx, cy;
  } cases[] = {
      {5, 1, 6, 2},          // past the right edge
      {1, 4, 3, 5},          // past the bottom
      {6, 5, 9, 9},          // past both
      {8, 0, 3, 3},          // wholly right of the box
      {0, 6, 2, 2},          // wholly below it
      {65535, 65535, 4, 4},  // where 16-bit margins would wrap
      {2, 2, 300, 1},        // a row far longer than the box
  };
  const uint16_t width = 8, height = 6;
  TTempDir dir;
  for (const auto& c : cases) {
    std::vector<TBytes> rows = SpeckledRows(c.cx, c.cy, c.cx);
    for (bool coded : {false, true}) {
      TScopedObject<TShp> shp(new TShp());
      LoadBytes(shp.Get(), dir,
                EncodeShp(width, height,
                          {coded ? CodedFrame(c.x, c.y, rows) : RawFrame(c.x, c.y, rows)}));
      EXPECT_EQ(CanvasBytes(shp->FrameAt(0)),
                CanvasOf(width, PlaceInBox(width, height, c.x, c.y, rows)))
          << c.x << "," << c.y << " " << c.cx << "x" << c.cy << (coded ? " coded" : " raw");
      EXPECT_EQ(shp->LoadReport.Clipped.Count, 1u);
      EXPECT_EQ(shp->LoadReport.Clipped.First, 0);
    }
  }
}

// A literal stretch that starts inside the box and runs past its right
// edge keeps only what is inside: on an inner row, on the canvas's last row,
// into row padding, and eight pixels at a time.
TEST(ShpDamaged, LiteralStretchesCrossingTheRightEdgeAreCut) {
  TBytes longRow = {0};
  for (uint8_t i = 1; i <= 16; ++i)
    longRow.push_back(i);
  struct {
    uint16_t width, x, y;
    TBytes row;
  } cases[] = {
      {8, 6, 1, {0, 5, 6, 7}},  // a stray pixel would land in the next row
      {8, 6, 3, {0, 5, 6, 7}},  // ... past the canvas
      {7, 5, 3, {0, 5, 6, 7}},  // ... in the row padding
      {16, 6, 3, longRow},      // ... eight bytes at a time, past the canvas
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(c.width, 4, {CodedFrame(c.x, c.y, {c.row})}));
    EXPECT_EQ(CanvasBytes(shp->FrameAt(0)),
              CanvasOf(c.width, PlaceInBox(c.width, 4, c.x, c.y, {c.row})))
        << c.width << " at " << c.x << "," << c.y;
    EXPECT_EQ(shp->LoadReport.Clipped.Count, 1u);
  }
}

TEST(ShpBounds, SizeLimits) {
  struct {
    uint16_t width, height;
    uint32_t withPixels;
    TShpRefusal refusal;
  } cases[] = {
      {65535, 32767, 0, TShpRefusal::None},  // 1078 + 2^31 - 65536 still fits
      {65535, 32768, 0, TShpRefusal::ImageTooLarge},
      {65535, 65535, 1, TShpRefusal::ImageTooLarge},
      // Each frame counts its canvas and its image (1078 bytes more).
      {4096, 4096, 15, TShpRefusal::None},
      {4096, 4096, 16, TShpRefusal::CanvasesTooLarge},  // 512 MiB of pixels and the headers
      {4093, 65535, 1, TShpRefusal::None},              // rows padded to 4096: 7 KiB under 512 MiB
      {4097, 65535, 1, TShpRefusal::CanvasesTooLarge},  // rows padded to 4100
      {65535, 4095, 1, TShpRefusal::None},
      {65535, 4096, 1, TShpRefusal::CanvasesTooLarge},
      {1, 1, 65535, TShpRefusal::None},
      // 1.6 MB of frame headers sharing one block claim about 1 GiB in memory.
      {88, 88, 65535, TShpRefusal::CanvasesTooLarge},
      {88, 88, 32000, TShpRefusal::None},
  };
  for (const auto& c : cases) {
    uint64_t needed = 0;
    EXPECT_EQ(CheckSpriteSize(c.width, c.height, c.withPixels, needed), c.refusal)
        << c.width << "x" << c.height << " x" << c.withPixels;
    if (c.refusal != TShpRefusal::None) {
      EXPECT_GT(needed, uint64_t{1} << 29);
    }
  }
}

// A refused sprite allocates nothing for its frames and loads none.
TEST(ShpBounds, SpritesTooLargeForMemoryLoadNoFrames) {
  TTempDir dir;
  std::vector<TShpFrameIn> many(33, CodedFrame(0, 0, {{1}}));
  struct {
    uint16_t width, height;
    std::vector<TShpFrameIn> frames;
    TShpRefusal refusal;
  } cases[] = {
      {65535, 65535, {CodedFrame(0, 0, {{1}})}, TShpRefusal::ImageTooLarge},
      {65535, 65535, {FrameWithoutPixels(0, 0, 1, 1)}, TShpRefusal::ImageTooLarge},
      {4096, 4096, many, TShpRefusal::CanvasesTooLarge},
  };
  for (const auto& c : cases) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(c.width, c.height, c.frames));
    EXPECT_EQ(shp->LoadReport.Refusal, c.refusal);
    EXPECT_EQ(shp->FrameCount, 0);
    EXPECT_EQ(shp->Frames->Count, 0);
    EXPECT_EQ(shp->LoadReport.FramesInHeader, c.frames.size());
    EXPECT_GT(shp->LoadReport.BytesNeeded, kMaxCanvasBytes);
    shp->BuildBitmaps();  // nothing to build
  }
}

TEST(ShpBounds, ManyFramesInATinyFileCostNoCanvases) {
  TTempDir dir;
  TBytes header = {0, 0, 64, 0, 64, 0, 0xFF, 0xFF};
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, header);
  ASSERT_EQ(shp->FrameCount, 65535);
  EXPECT_EQ(shp->LoadReport.HeadersCut, 65535u);
  for (int i : {0, 40000, 65534}) {
    EXPECT_FALSE(shp->FrameAt(i)->HasPixels);
    EXPECT_EQ(shp->FrameAt(i)->Canvas, nullptr);
  }
  shp->BuildBitmaps();
  EXPECT_EQ(shp->GetFrameBitmap(65534)->Width, 1);
}

// Frames without pixels cost no canvas: with all 65535 frames counted, a
// 128 x 128 box would need 1 GiB.
TEST(ShpBounds, ManyFramesWithoutPixelsInALargeBoxLoad) {
  std::vector<TShpFrameIn> frames(65534, FrameWithoutPixels(0, 0, 1, 1));
  frames.push_back(CodedFrame(126, 127, {{1, 2}}));
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, EncodeShp(128, 128, frames));
  EXPECT_EQ(shp->LoadReport.Refusal, TShpRefusal::None);
  ASSERT_EQ(shp->FrameCount, 65535);
  EXPECT_EQ(shp->FrameAt(65533)->Canvas, nullptr);
  EXPECT_EQ(CanvasBytes(shp->FrameAt(65534)),
            CanvasOf(128, PlaceInBox(128, 128, 126, 127, {{1, 2}})));
}

// An offset at the very end of the file is beyond it; one byte before the
// end is data cut short.
TEST(ShpBounds, AnOffsetAtTheEndIsBeyondItNotCutShort) {
  struct {
    uint32_t beforeEnd, pastEnd, truncated;
  } cases[] = {{0, 1, 0}, {1, 0, 1}};
  const uint32_t fileSize = 8 + 24 + 1;  // the headers of one frame and one data byte
  TTempDir dir;
  for (uint32_t compression : {0u, 2u, 3u, 0xCCCCCC02u}) {
    for (const auto& c : cases) {
      TShpFrameIn frame = FrameWithData(0, 0, 4, 2, compression, {9});
      frame.DataOffset = fileSize - c.beforeEnd;
      TScopedObject<TShp> shp(new TShp());
      LoadBytes(shp.Get(), dir, EncodeShp(4, 2, {frame}));
      const TShpLoadReport& report = shp->LoadReport;
      EXPECT_EQ(report.DataPastEnd.Count, c.pastEnd) << compression << " " << c.beforeEnd;
      EXPECT_EQ(report.Truncated.Count, c.truncated) << compression << " " << c.beforeEnd;
    }
  }
}

// Offsets past the end, into the header table, or shared by many frames:
// all decode to full-size canvases from whatever bytes are there.
TEST(ShpBounds, DataOffsetsThatPointAnywhere) {
  TTempDir dir;
  std::vector<TShpFrameIn> frames;
  for (uint32_t offset : {0xFFFFFFFFu, 0x7FFFFFFFu, 10000u, 2u, 9u, 100u}) {
    TShpFrameIn f = FrameWithData(0, 0, 16, 16, 3, {});
    f.DataOffset = offset;
    frames.push_back(f);
  }
  // Frame 6's data comes first, as frames 0 to 5 have none; 7 to 9 share it.
  const uint32_t sharedOffset = 8 + 24 * 10;
  frames.push_back(CodedFrame(0, 0, SpeckledRows(16, 16, 5)));
  for (int i = 0; i < 3; ++i) {
    TShpFrameIn f = FrameWithData(0, 0, 16, 16, 3, {});
    f.DataOffset = sharedOffset;
    frames.push_back(f);
  }
  const TBytes file = EncodeShp(16, 16, frames);

  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, file);
  ASSERT_EQ(shp->FrameCount, 10);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(CanvasBytes(shp->FrameAt(i)).size(), 256u) << i;
  EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), TBytes(256, 0));
  EXPECT_EQ(shp->LoadReport.DataPastEnd.Count, 3u);
  EXPECT_EQ(shp->LoadReport.DataPastEnd.First, 0);
  TBytes expected = CanvasOf(16, SpeckledRows(16, 16, 5));
  for (int i = 6; i < 10; ++i)
    EXPECT_EQ(CanvasBytes(shp->FrameAt(i)), expected) << i;
}

// Frames that keep re-reading one long stretch of zero counts: the whole
// load stays within a small multiple of the file, and the frames it did not
// decode are blank and reported.
TEST(ShpBounds, FramesReReadingEachOthersDataStopWithinABudget) {
  const uint32_t frameCount = 3000;
  const uint32_t dataStart = 8 + 24 * frameCount;
  std::vector<TShpFrameIn> frames;
  for (uint32_t i = 0; i < frameCount; ++i) {
    TShpFrameIn f = FrameWithData(0, 0, 65535, 1, 3, {});
    f.DataOffset = dataStart + 2 * i;
    frames.push_back(f);
  }
  TBytes file = EncodeShp(4, 1, frames);
  file.resize(dataStart + (2u << 20), 0);  // 2 MiB of zero items and zero counts
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, file);
  ASSERT_EQ(shp->FrameCount, int32_t(frameCount));
  const TShpLoadReport& report = shp->LoadReport;
  EXPECT_GT(report.OverBudget.Count, frameCount - 10);
  EXPECT_EQ(report.OverBudget.Count + report.Truncated.Count, frameCount);
  for (uint32_t i = 0; i < frameCount; ++i)
    ASSERT_EQ(CanvasBytes(shp->FrameAt(int32_t(i))), TBytes(4, 0));
}

// The report of a load, to compare two loads of one file.
std::string ReportText(const TShpLoadReport& r) {
  std::string text = std::to_string(int(r.Refusal)) + " " + std::to_string(r.HeadersCut);
  for (const TFrameTally& t : {r.Clipped, r.Truncated, r.DataPastEnd, r.OverBudget})
    text += " " + std::to_string(t.Count) + "@" + std::to_string(t.First);
  return text;
}

std::vector<TBytes> Canvases(const TShp* shp) {
  std::vector<TBytes> all;
  for (int32_t i = 0; i < shp->FrameCount; ++i)
    all.push_back(CanvasBytes(shp->FrameAt(i)));
  return all;
}

// Frames inside the box, decoded straight from a chunk, stop for the budget
// as clipped ones do: once a re-reading frame has run it out, every later
// frame stays blank and is counted, the honest ones too.
TEST(ShpBounds, FramesInsideTheBoxStopForTheBudgetToo) {
  const TBytes file = FramesThatReRead([](uint32_t i) { return i < 21; });
  TTempDir dir;
  for (uint64_t twoThreadBytes : {UINT64_MAX, uint64_t{0}}) {
    TScopedObject<TShp> shp(new TShp());
    shp->TwoThreadCanvasBytes = twoThreadBytes;
    LoadBytes(shp.Get(), dir, file);
    const TFrameTally& over = shp->LoadReport.OverBudget;
    ASSERT_GE(over.First, 0) << twoThreadBytes;
    ASSERT_LT(over.First, 21) << twoThreadBytes;
    EXPECT_EQ(over.Count, uint32_t(64 - over.First)) << twoThreadBytes;
    for (int32_t i = over.First; i < 64; ++i)
      ASSERT_EQ(CanvasBytes(shp->FrameAt(i)), TBytes(64 * 64, 0)) << i << " " << twoThreadBytes;
  }
}

// Frames decoded on two threads, even for a tiny sprite, give what one
// thread gives: the same canvases and the same report, however the budget
// runs out.
TEST(ShpBounds, TwoThreadsDecodeAsOneDoes) {
  struct TCase {
    std::string name;
    TBytes bytes;
    bool runsOut = false;
  };
  std::vector<TCase> cases = {
      {"later half", FramesThatReRead([](uint32_t i) { return i >= 32; }), true},
      {"first third", FramesThatReRead([](uint32_t i) { return i < 21; }), true},
      {"every third", FramesThatReRead([](uint32_t i) { return i % 3 == 0; }), true},
      {"last two", FramesThatReRead([](uint32_t i) { return i >= 62; }), false},
      // The later half alone fits the budget, so its thread decodes every
      // honest frame; in order the budget runs out at frame 41, and the
      // frames after it, drawn from row 8 down, must be cleared whole.
      {"both halves, frames from row 8",
       FramesThatReRead([](uint32_t i) { return i == 4 || i == 5 || i == 40 || i == 41; }, 8),
       true},
      {"every kind, later half", FramesThatReRead([](uint32_t i) { return i >= 40; }, 0, true),
       true},
  };
  for (THostileFile& file : HostileShpCorpus())
    cases.push_back({file.Name, std::move(file.Bytes)});
  TTempDir dir;
  for (const TCase& c : cases) {
    TScopedObject<TShp> one(new TShp()), two(new TShp());
    one->TwoThreadCanvasBytes = UINT64_MAX;
    two->TwoThreadCanvasBytes = 0;
    LoadBytes(one.Get(), dir, c.bytes);
    LoadBytes(two.Get(), dir, c.bytes);
    EXPECT_EQ(ReportText(two->LoadReport), ReportText(one->LoadReport)) << c.name;
    ASSERT_TRUE(Canvases(two.Get()) == Canvases(one.Get())) << c.name;
    EXPECT_EQ(one->LoadReport.OverBudget.Count > 0, c.runsOut) << c.name;
  }
}

}  // namespace
