#include "support/hostile_shp.h"

#include <random>

#include "support/shp_writer.h"

namespace {

// The valid file every damage starts from.
TBytes BaseSprite() {
  std::vector<TShpFrameIn> frames = {
      CodedFrame(1, 1, SpeckledRows(12, 9, 1)),
      RawFrame(0, 2, SpeckledRows(10, 6, 2)),
      FrameWithoutPixels(0, 0, 4, 4),
      CodedFrame(3, 0, SpeckledRows(9, 12, 3)),
  };
  return EncodeShp(14, 12, frames);
}

void SetLe16(TBytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void SetLe32(TBytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Field offsets of frame header i.
size_t FrameField(int frame, size_t field) {
  return 8 + 24 * static_cast<size_t>(frame) + field;
}

void AddCuts(const TBytes& base, std::vector<THostileFile>& out) {
  for (size_t cut = 0; cut < base.size(); ++cut) {
    out.push_back({"cut" + std::to_string(cut) + ".shp", TBytes(base.begin(), base.begin() + cut)});
  }
}

void AddBitFlips(const TBytes& base, std::vector<THostileFile>& out) {
  std::mt19937 random(7);
  for (int n = 0; n < 300; ++n) {
    TBytes bytes = base;
    int flips = 1 + n % 4;
    // Most flips land in the headers, where they change what the file claims.
    for (int f = 0; f < flips; ++f) {
      size_t span = n % 3 == 0 ? bytes.size() : 8 + 24 * 4;
      bytes[random() % span] ^= static_cast<uint8_t>(1u << (random() % 8));
    }
    out.push_back({"flip" + std::to_string(n) + ".shp", bytes});
  }
}

void AddClaims(const TBytes& base, std::vector<THostileFile>& out) {
  auto with = [&](const char* name, auto change) {
    TBytes bytes = base;
    change(bytes);
    out.push_back({name, bytes});
  };
  with("huge-box.shp", [](TBytes& b) { SetLe16(b, 2, 65535), SetLe16(b, 4, 65535); });
  with("wide-box.shp", [](TBytes& b) { SetLe16(b, 2, 65535), SetLe16(b, 4, 1); });
  with("tall-box.shp", [](TBytes& b) { SetLe16(b, 2, 1), SetLe16(b, 4, 65535); });
  with("zero-width.shp", [](TBytes& b) { SetLe16(b, 2, 0); });
  with("zero-height.shp", [](TBytes& b) { SetLe16(b, 4, 0); });
  with("many-frames.shp", [](TBytes& b) { SetLe16(b, 6, 65535); });
  with("frame-far-out.shp",
       [](TBytes& b) { SetLe16(b, FrameField(0, 0), 65000), SetLe16(b, FrameField(0, 2), 65000); });
  with("frame-huge.shp",
       [](TBytes& b) { SetLe16(b, FrameField(0, 4), 65535), SetLe16(b, FrameField(0, 6), 65535); });
  with("offset-past-end.shp", [](TBytes& b) { SetLe32(b, FrameField(1, 20), 0xFFFFFFF0); });
  with("offset-into-headers.shp", [](TBytes& b) {
    for (int f = 0; f < 4; ++f)
      SetLe32(b, FrameField(f, 20), 2);
  });
  with("offsets-shared.shp", [&](TBytes& b) {
    uint32_t first = static_cast<uint32_t>(b[FrameField(0, 20)] | b[FrameField(0, 21)] << 8);
    for (int f = 0; f < 4; ++f)
      SetLe32(b, FrameField(f, 20), first), SetLe32(b, FrameField(f, 8), 3);
  });
  with("odd-kinds.shp", [](TBytes& b) {
    for (int f = 0; f < 4; ++f)
      SetLe32(b, FrameField(f, 8), 2 + 0x10000 * f);
  });
  out.push_back({"tiny-many-frames.shp", {0, 0, 1, 0, 1, 0, 0xFF, 0xFF}});
  // Rows of zero runs with zero counts: the data never reaches the width.
  TShpFrameIn zeros = FrameWithData(0, 0, 200, 200, 3, TBytes(4000, 0));
  out.push_back({"zero-counts.shp", EncodeShp(200, 200, {zeros, zeros, zeros})});
}

void AddGarbage(std::vector<THostileFile>& out) {
  std::mt19937 random(11);
  for (size_t size : {1u, 7u, 8u, 9u, 31u, 32u, 100u, 1000u, 5000u, 70000u}) {
    TBytes bytes(size);
    for (auto& b : bytes)
      b = static_cast<uint8_t>(random());
    out.push_back({"garbage" + std::to_string(size) + ".shp", bytes});
  }
}

}  // namespace

std::vector<THostileFile> HostileShpCorpus() {
  const TBytes base = BaseSprite();
  std::vector<THostileFile> corpus;
  corpus.push_back({"base.shp", base});
  AddCuts(base, corpus);
  AddBitFlips(base, corpus);
  AddClaims(base, corpus);
  AddGarbage(corpus);
  return corpus;
}

TBytes FramesThatReRead(const std::function<bool(uint32_t)>& rereading, uint16_t top,
                        bool everyKind) {
  const uint32_t count = 64;
  std::vector<TShpFrameIn> frames;
  for (uint32_t i = 0; i < count; ++i) {
    frames.push_back(CodedFrame(0, top, SpeckledRows(64, 64 - top, i)));
    if (everyKind) frames.back().Compression = 0xCCCCCC00 | (i % 4);
  }
  uint32_t zerosAt = static_cast<uint32_t>(EncodeShp(64, 64, frames).size());
  for (uint32_t i = 0; i < count; ++i) {
    if (!rereading(i)) continue;
    frames[i] = FrameWithData(0, 0, 65535, 1, 3, {});
    frames[i].DataOffset = zerosAt + 2 * i;
  }
  TBytes file = EncodeShp(64, 64, frames);
  file.resize(zerosAt + (1u << 20), 0);
  return file;
}
