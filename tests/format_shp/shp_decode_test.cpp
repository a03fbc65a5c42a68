// Decoding SHP frames into canvases: names, row padding, placement and the
// run-length items.
#include <gtest/gtest.h>

#include "shp_test_util.h"

namespace {

TEST(ShpLoad, NameIsTheFileNameBeforeItsFirstDot) {
  TTempDir dir;
  const TBytes file = EncodeShp(2, 2, {CodedFrame(0, 0, {{1, 2}, {3, 4}})});
  std::filesystem::create_directory(dir.Path() / "folder.with.dots");
  struct {
    std::string name;
    std::string expected;
  } cases[] = {
      {"unit.shp", "unit"},
      {"my.unit.shp", "my"},
      {"unit", ""},
      {".shp", ""},
      {"folder.with.dots/tank.shp", "tank"},
  };
  for (const auto& c : cases) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, file, c.name);
    EXPECT_EQ(shp->Name, c.expected) << c.name;
    EXPECT_EQ(shp->FrameCount, 1) << c.name;
  }
}

TEST(ShpLoad, ReadsTheHeadersOfEveryFrame) {
  TTempDir dir;
  TShpFrameIn first = CodedFrame(1, 2, {{7, 7, 7}});
  first.Extra1 = 0xA1B2C3D4;
  first.Extra2 = 17;
  TShpFrameIn second = RawFrame(0, 0, {{1}, {2}});
  second.Compression = 1;
  TBytes file = EncodeShp(300, 200, {first, second, FrameWithoutPixels(5, 6, 7, 8)});
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir, file);

  EXPECT_EQ(shp->Width, 300);
  EXPECT_EQ(shp->Height, 200);
  ASSERT_EQ(shp->FrameCount, 3);
  EXPECT_EQ(shp->Frames->Count, 3);
  const TShpSprite* f = shp->FrameAt(0);
  EXPECT_EQ(std::vector<uint32_t>({f->X, f->Y, f->FrameWidth, f->FrameHeight, f->Compression,
                                   f->Extra1, f->Extra2, f->DataOffset}),
            std::vector<uint32_t>({1, 2, 3, 1, 3, 0xA1B2C3D4, 17, 8 + 3 * 24}));
  EXPECT_TRUE(f->HasPixels);
  EXPECT_EQ(shp->FrameAt(1)->Compression, 1u);
  const TShpSprite* empty = shp->FrameAt(2);
  EXPECT_EQ(empty->X, 5);
  EXPECT_EQ(empty->FrameHeight, 8);
  EXPECT_FALSE(empty->HasPixels);
  EXPECT_EQ(empty->Canvas, nullptr);
  EXPECT_EQ(shp->FrameAt(3), nullptr);
  EXPECT_EQ(shp->FrameAt(-1), nullptr);
  EXPECT_TRUE(shp->LoadReport.IsClean());
}

// Every width modulo 4, raw and coded: each canvas row is W indices and
// the zeros up to a multiple of 4 bytes.
TEST(ShpDecode, CanvasRowsArePaddedToAMultipleOfFourForEveryWidth) {
  TTempDir dir;
  for (uint16_t width = 1; width <= 9; ++width) {
    std::vector<TBytes> rows = SpeckledRows(width, 3, width);
    rows[1].assign(width, 9);  // a row without colour 0
    for (bool coded : {false, true}) {
      TScopedObject<TShp> shp(new TShp());
      LoadBytes(shp.Get(), dir,
                EncodeShp(width, 3, {coded ? CodedFrame(0, 0, rows) : RawFrame(0, 0, rows)}));
      TBytes canvas = CanvasBytes(shp->FrameAt(0));
      EXPECT_EQ(canvas.size(), 3u * (width + RowPad(width))) << width;
      EXPECT_EQ(canvas, CanvasOf(width, rows)) << "width " << width << (coded ? " coded" : " raw");
    }
  }
  EXPECT_EQ(RowPad(5), 3u);
  EXPECT_EQ(RowPad(6), 2u);
  EXPECT_EQ(RowPad(7), 1u);
  EXPECT_EQ(RowPad(8), 0u);
}

// Frames inside the box get margins left and right and blank rows above and
// below; with X = Y = 0 and the full size there are none.
TEST(ShpDecode, PlacesFramesInsideTheSpriteBox) {
  struct {
    uint16_t width, height, x, y, cx, cy;
  } cases[] = {
      {6, 10, 0, 3, 6, 2},  // rows 0-2 blank, 3-4 frame rows, 5-9 blank
      {8, 8, 0, 0, 8, 8},   // no margins, no blank rows
      {7, 5, 2, 1, 3, 3},   // margins on every side
      {5, 4, 4, 3, 1, 1},   // the bottom right corner
      {9, 3, 0, 0, 1, 3},   // a right margin only
  };
  TTempDir dir;
  for (const auto& c : cases) {
    std::vector<TBytes> rows = SpeckledRows(c.cx, c.cy, c.x * 31 + c.y);
    for (TBytes& row : rows)
      row.front() = 200;  // make the frame's left edge visible
    const TBytes expected = CanvasOf(c.width, PlaceInBox(c.width, c.height, c.x, c.y, rows));
    for (bool coded : {false, true}) {
      TScopedObject<TShp> shp(new TShp());
      auto frame = coded ? CodedFrame(c.x, c.y, rows) : RawFrame(c.x, c.y, rows);
      LoadBytes(shp.Get(), dir, EncodeShp(c.width, c.height, {frame}));
      EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), expected)
          << c.width << "x" << c.height << " at " << c.x << "," << c.y
          << (coded ? " coded" : " raw");
      EXPECT_TRUE(shp->LoadReport.IsClean());
    }
  }
}

TBytes Items(uint16_t lengthField, TBytes items) {
  TBytes row;
  PutLe16(row, lengthField);
  row.insert(row.end(), items.begin(), items.end());
  return row;
}

TBytes Concat(std::initializer_list<TBytes> parts) {
  TBytes all;
  for (const TBytes& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Hand-made coded rows of a 4 x 2 frame in a 4 x 2 box.
TEST(ShpDecode, RunLengthItems) {
  struct {
    const char* what;
    TBytes data;
    TBytes canvas;
  } cases[] = {
      {"a zero run then pixels",
       Concat({Items(6, {0, 2, 5, 7}), Items(6, {1, 2, 3, 4})}),
       {0, 0, 5, 7, 1, 2, 3, 4}},
      {"a zero run passing Cx ends the row; the next row starts after its count",
       Concat({Items(5, {9, 0, 200}), Items(4, {0, 4, 0, 0})}),
       {9, 0, 0, 0, 0, 0, 0, 0}},
      {"a zero count adds no pixels",
       Concat({Items(8, {0, 0, 5, 0, 0, 6, 7, 8}), Items(3, {0, 4})}),
       {5, 6, 7, 8, 0, 0, 0, 0}},
      {"the length field is never used: 0",
       Concat({Items(0, {1, 2, 3, 4}), Items(0, {5, 6, 7, 8})}),
       {1, 2, 3, 4, 5, 6, 7, 8}},
      {"the length field is never used: 255 and 256",
       Concat({Items(255, {1, 2, 3, 4}), Items(256, {5, 6, 7, 8})}),
       {1, 2, 3, 4, 5, 6, 7, 8}},
      {"the length field is never used: 65535",
       Concat({Items(65535, {0, 1, 2, 3, 4}), Items(513, {0, 3, 9})}),
       {0, 2, 3, 4, 0, 0, 0, 9}},
  };
  TTempDir dir;
  for (const auto& c : cases) {
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(4, 2, {FrameWithData(0, 0, 4, 2, 3, c.data)}));
    EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), c.canvas) << c.what;
    EXPECT_TRUE(shp->LoadReport.IsClean()) << c.what;
  }
}

// Rows whose coded length is 256 bytes or more, and sprites far wider than
// 1025 bytes, decode exactly. The widest spans several of the file reader's
// 64 KiB chunks, and its first row's literal stretch crosses the first one's end.
TEST(ShpDecode, LongRowsAndWideSprites) {
  TTempDir dir;
  for (uint16_t width : {300, 1023, 1025, 1026, 4000, 65500}) {
    std::vector<TBytes> rows = SpeckledRows(width, 4, width);
    rows[0].assign(width, 77);  // one long literal stretch: L well above 256
    rows[2].assign(width, 0);   // only zero runs of 255
    TScopedObject<TShp> shp(new TShp());
    LoadBytes(shp.Get(), dir, EncodeShp(width, 6, {CodedFrame(0, 1, rows), RawFrame(0, 2, rows)}));
    EXPECT_GE(EncodeCodedRow(rows[0]).size(), 256u);
    EXPECT_EQ(CanvasBytes(shp->FrameAt(0)), CanvasOf(width, PlaceInBox(width, 6, 0, 1, rows)))
        << width;
    EXPECT_EQ(CanvasBytes(shp->FrameAt(1)), CanvasOf(width, PlaceInBox(width, 6, 0, 2, rows)))
        << width;
  }
}

// Rows wide enough to be decoded many pixels at a time, whose length fields
// lie; whole and cut short. The canvas and the report are those of the same
// rows with true length fields.
TEST(ShpDecode, LyingLengthFieldsInWideRows) {
  const uint16_t width = 48;
  std::vector<TBytes> rows = SpeckledRows(width, 4, 5);
  auto coded = [&](int field) {
    TBytes data;
    for (const TBytes& row : rows) {
      TBytes one = EncodeCodedRow(row);
      if (field >= 0)
        one[0] = static_cast<uint8_t>(field), one[1] = static_cast<uint8_t>(field >> 8);
      if (field < -1) one[0] = static_cast<uint8_t>(one[0] + field + 1);
      data.insert(data.end(), one.begin(), one.end());
    }
    return data;
  };
  const TBytes truth = coded(-1);
  TTempDir dir;
  // -1 keeps the true fields; below it, each field is that much too small
  for (int field : {0, 1, 2, 3, 20, 65535, -2, -3, -5}) {
    TBytes data = coded(field);
    for (size_t cut : {data.size(), data.size() / 2, size_t{30}}) {
      TScopedObject<TShp> lying(new TShp()), honest(new TShp());
      TBytes part(data.begin(), data.begin() + cut);
      TBytes truePart(truth.begin(), truth.begin() + cut);
      LoadBytes(lying.Get(), dir, EncodeShp(width, 4, {FrameWithData(0, 0, width, 4, 3, part)}));
      LoadBytes(honest.Get(), dir,
                EncodeShp(width, 4, {FrameWithData(0, 0, width, 4, 3, truePart)}));
      EXPECT_EQ(CanvasBytes(lying->FrameAt(0)), CanvasBytes(honest->FrameAt(0)))
          << field << " " << cut;
      EXPECT_EQ(lying->LoadReport.IsClean(), honest->LoadReport.IsClean()) << field << " " << cut;
      if (cut == data.size()) {
        EXPECT_EQ(CanvasBytes(lying->FrameAt(0)), CanvasOf(width, PlaceInBox(width, 4, 0, 0, rows)))
            << field;
      }
    }
  }
}

TEST(ShpDecode, KindsThatAreNotDecodedKeepAnEmptyCanvas) {
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir,
            EncodeShp(4, 4,
                      {FrameWithData(0, 0, 4, 4, 4, TBytes(16, 5)),
                       FrameWithData(0, 0, 4, 4, 0xFFFFFFFF, TBytes(16, 5))}));
  for (int i = 0; i < 2; ++i) {
    const TShpSprite* frame = shp->FrameAt(i);
    EXPECT_TRUE(frame->HasPixels);
    ASSERT_NE(frame->Canvas, nullptr);
    EXPECT_EQ(frame->Canvas->GetSize(), 0u);
  }
}

// Counts destroy events of the objects it is bound to.
void CountDestroy(int* counter, TBaseObject*) {
  ++*counter;
}

TEST(ShpLoad, LoadingAgainFreesEveryFrameOfTheOldFile) {
  TTempDir dir;
  TScopedObject<TShp> shp(new TShp());
  LoadBytes(shp.Get(), dir,
            EncodeShp(4, 4,
                      {CodedFrame(0, 0, {{1, 2}}), RawFrame(1, 1, {{3}}),
                       FrameWithoutPixels(0, 0, 1, 1)}),
            "first.shp");
  shp->BuildBitmaps();
  int destroyed = 0;
  auto watch = [&](TBaseObject* object) {
    if (object) object->DestroyEvent = TObjectEvent::Bind<&CountDestroy>(&destroyed);
  };
  int watched = 0;
  for (int i = 0; i < shp->FrameCount; ++i) {
    TShpSprite* frame = shp->FrameAt(i);
    shp->GetFrameBitmap(i);
    for (TBaseObject* object :
         {static_cast<TBaseObject*>(frame), static_cast<TBaseObject*>(frame->Canvas),
          static_cast<TBaseObject*>(frame->Bitmap)}) {
      watched += object ? 1 : 0;
      watch(object);
    }
  }
  EXPECT_EQ(watched, 3 + 2 + 3);  // three records, two canvases, three bitmaps

  LoadBytes(shp.Get(), dir, EncodeShp(9, 7, {RawFrame(0, 0, {{5}})}), "second.shp");
  EXPECT_EQ(destroyed, watched);
  EXPECT_EQ(shp->FrameCount, 1);
  EXPECT_EQ(shp->Frames->Count, 1);
  EXPECT_EQ(shp->Width, 9);
  EXPECT_EQ(shp->Name, "second");

  shp->Clear();
  EXPECT_EQ(shp->FrameCount, 0);
  EXPECT_EQ(shp->Frames->Count, 0);
}

}  // namespace
