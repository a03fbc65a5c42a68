#include "support/shp_writer.h"

#include <algorithm>
#include <random>

namespace {

TBytes EncodeRaw(const std::vector<TBytes>& rows) {
  TBytes data;
  for (const TBytes& row : rows)
    data.insert(data.end(), row.begin(), row.end());
  return data;
}

// Raw rows, each after a 2-byte field: the row's bytes, the field included.
TBytes EncodeFielded(const std::vector<TBytes>& rows) {
  TBytes data;
  for (const TBytes& row : rows) {
    PutLe16(data, static_cast<uint16_t>(row.size() + 2));
    data.insert(data.end(), row.begin(), row.end());
  }
  return data;
}

TBytes EncodeCoded(const std::vector<TBytes>& rows) {
  TBytes data;
  for (const TBytes& row : rows) {
    TBytes coded = EncodeCodedRow(row);
    data.insert(data.end(), coded.begin(), coded.end());
  }
  return data;
}

TShpFrameIn FrameOfRows(uint16_t x, uint16_t y, uint32_t compression, std::vector<TBytes> rows) {
  TShpFrameIn frame;
  frame.X = x;
  frame.Y = y;
  frame.Width = rows.empty() ? 0 : static_cast<uint16_t>(rows[0].size());
  frame.Height = static_cast<uint16_t>(rows.size());
  frame.Compression = compression;
  frame.Rows = std::move(rows);
  return frame;
}

}  // namespace

TShpFrameIn CodedFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows) {
  return FrameOfRows(x, y, 3, std::move(rows));
}

TShpFrameIn RawFrame(uint16_t x, uint16_t y, std::vector<TBytes> rows) {
  return FrameOfRows(x, y, 0, std::move(rows));
}

TShpFrameIn FrameWithData(uint16_t x, uint16_t y, uint16_t cx, uint16_t cy, uint32_t compression,
                          TBytes data) {
  TShpFrameIn frame;
  frame.X = x;
  frame.Y = y;
  frame.Width = cx;
  frame.Height = cy;
  frame.Compression = compression;
  frame.Data = std::move(data);
  return frame;
}

TShpFrameIn FrameWithoutPixels(uint16_t x, uint16_t y, uint16_t cx, uint16_t cy) {
  TShpFrameIn frame = FrameWithData(x, y, cx, cy, 3, {});
  frame.DataOffset = 0;
  return frame;
}

TBytes EncodeCodedRow(const TBytes& pixels) {
  TBytes items;
  for (size_t i = 0; i < pixels.size();) {
    if (pixels[i] != 0) {
      items.push_back(pixels[i++]);
      continue;
    }
    size_t run = 0;
    while (i < pixels.size() && pixels[i] == 0 && run < 255) {
      ++run;
      ++i;
    }
    items.push_back(0);
    items.push_back(static_cast<uint8_t>(run));
  }
  TBytes row;
  PutLe16(row, static_cast<uint16_t>(items.size() + 2));
  row.insert(row.end(), items.begin(), items.end());
  return row;
}

TBytes EncodeShp(uint16_t width, uint16_t height, const std::vector<TShpFrameIn>& frames) {
  TBytes file;
  PutLe16(file, 0);
  PutLe16(file, width);
  PutLe16(file, height);
  PutLe16(file, static_cast<uint16_t>(frames.size()));
  TBytes data;
  uint32_t dataStart = static_cast<uint32_t>(8 + 24 * frames.size());
  for (const TShpFrameIn& frame : frames) {
    const uint32_t kind = frame.Compression & 0xFF;
    TBytes bytes = frame.Data  ? *frame.Data
                   : kind == 3 ? EncodeCoded(frame.Rows)
                   : kind == 2 ? EncodeFielded(frame.Rows)
                               : EncodeRaw(frame.Rows);
    uint32_t offset = frame.DataOffset.value_or(dataStart + static_cast<uint32_t>(data.size()));
    data.insert(data.end(), bytes.begin(), bytes.end());
    PutLe16(file, frame.X);
    PutLe16(file, frame.Y);
    PutLe16(file, frame.Width);
    PutLe16(file, frame.Height);
    PutLe32(file, frame.Compression);
    PutLe32(file, frame.Extra1);
    PutLe32(file, frame.Extra2);
    PutLe32(file, offset);
  }
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

std::vector<TBytes> PlaceInBox(uint16_t width, uint16_t height, uint16_t x, uint16_t y,
                               const std::vector<TBytes>& rows) {
  std::vector<TBytes> box(height, TBytes(width, 0));
  for (size_t r = 0; r < rows.size(); ++r) {
    if (y + r >= height) break;
    for (size_t c = 0; c < rows[r].size() && x + c < width; ++c)
      box[y + r][x + c] = rows[r][c];
  }
  return box;
}

TBytes CanvasOf(uint16_t width, const std::vector<TBytes>& boxRows) {
  size_t stride = (width + 3u) & ~3u;
  TBytes canvas;
  for (const TBytes& row : boxRows) {
    canvas.insert(canvas.end(), row.begin(), row.end());
    canvas.resize(canvas.size() + stride - row.size(), 0);
  }
  return canvas;
}

std::vector<TBytes> SpeckledRows(uint16_t width, uint16_t height, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<TBytes> rows(height, TBytes(width, 0));
  for (TBytes& row : rows) {
    bool opaque = random() % 2 == 0;
    for (size_t c = 0; c < width;) {
      size_t stretch = std::min<size_t>(4 + random() % 24, width - c);
      for (size_t k = 0; k < stretch; ++k, ++c)
        row[c] = opaque ? static_cast<uint8_t>(1 + random() % 255) : 0;
      opaque = !opaque;
    }
  }
  return rows;
}
