#include "formats/palette_file.h"

#include <algorithm>

#include "toolkit/base/byte_stream.h"

namespace {

constexpr uint8_t kCtrlZ = 26;

// ParseDecimal fed one character at a time, so that a line of any length
// is read without holding it.
class TDecimalReader {
 public:
  void Feed(uint8_t c) {
    if (stopped_) return;
    bool first = !started_;
    started_ = true;
    if (first && (c == '-' || c == '+')) {
      negative_ = c == '-';
      return;
    }
    if (c < '0' || c > '9') {
      stopped_ = true;
      return;
    }
    value_ = value_ * 10 + (c - '0');
  }
  bool Stopped() const { return stopped_; }
  int32_t Value() const { return static_cast<int32_t>(negative_ ? 0u - value_ : value_); }

 private:
  uint32_t value_ = 0;
  bool negative_ = false;
  bool started_ = false;
  bool stopped_ = false;
};

// The bytes of a palette text, from memory or pulled from a file stream in
// chunks, up to the end of the data or the first Ctrl-Z.
class TPaletteText {
 public:
  TPaletteText(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}
  explicit TPaletteText(TByteStream* stream) : stream_(stream), at_(chunk_), end_(chunk_) {}

  bool Peek(uint8_t& byte) {
    if (ended_ || (at_ == end_ && !Refill())) return false;
    if (*at_ == kCtrlZ) {
      ended_ = true;
      return false;
    }
    byte = *at_;
    return true;
  }
  bool Next(uint8_t& byte) {
    if (!Peek(byte)) return false;
    ++at_;
    return true;
  }

 private:
  bool Refill() {
    if (!stream_) return false;
    uint32_t got = stream_->Read(chunk_, sizeof chunk_);
    at_ = chunk_;
    end_ = chunk_ + got;
    return got > 0;
  }

  TByteStream* stream_ = nullptr;
  const uint8_t* at_;
  const uint8_t* end_;
  bool ended_ = false;
  uint8_t chunk_[4096];
};

// Reads one line (up to CR, LF or CR LF) and parses its first `wanted`
// blank-separated fields into `values`; missing fields read 0. At the end
// of the text every line is empty.
void ReadLineFields(TPaletteText& text, int32_t* values, int wanted) {
  TDecimalReader fields[3];
  int field = -1;
  bool inField = false;
  uint8_t c;
  while (text.Next(c)) {
    if (c == '\r' || c == '\n') {
      uint8_t next;
      if (c == '\r' && text.Peek(next) && next == '\n') text.Next(next);
      break;
    }
    if (c == ' ' || c == '\t') {
      inField = false;
      continue;
    }
    if (!inField) {
      inField = true;
      ++field;
    }
    if (field < wanted) fields[field].Feed(c);
  }
  for (int i = 0; i < wanted; ++i)
    values[i] = fields[i].Value();
}

uint32_t ReadPalette(TPaletteText& text, uint8_t* colours) {
  int32_t count = 0;
  ReadLineFields(text, nullptr, 0);  // signature
  ReadLineFields(text, nullptr, 0);  // version
  ReadLineFields(text, &count, 1);
  if (count <= 0) return 0;
  // The table has 256 entries: colour lines past them are not read.
  uint32_t entries = std::min(static_cast<uint32_t>(count), kPaletteEntries);
  for (uint32_t i = 0; i < entries; ++i) {
    int32_t rgb[3];
    ReadLineFields(text, rgb, 3);
    colours[4 * i] = static_cast<uint8_t>(rgb[2]);
    colours[4 * i + 1] = static_cast<uint8_t>(rgb[1]);
    colours[4 * i + 2] = static_cast<uint8_t>(rgb[0]);
    colours[4 * i + 3] = 0;
  }
  return entries;
}

}  // namespace

bool ReadJascPalette(const char* fileName, uint8_t* colours) {
  TByteStream* file = MakeFileReader(fileName);
  bool opened = file->FileHandle != kInvalidFileHandle;
  if (opened) ReadJascPaletteStream(file, colours);
  Free(file);
  return opened;
}

uint32_t ReadJascPaletteStream(TByteStream* stream, uint8_t* colours) {
  TPaletteText text(stream);
  return ReadPalette(text, colours);
}

uint32_t ReadJascPaletteText(const uint8_t* data, size_t size, uint8_t* colours) {
  TPaletteText text(data, size);
  return ReadPalette(text, colours);
}

std::string JascPaletteText(const uint8_t* colours, uint32_t count) {
  count = std::min(count, kPaletteEntries);
  std::string text = "JASC-PAL\r\n0100\r\n" + std::to_string(count) + "\r\n";
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* entry = colours + 4 * i;
    text += std::to_string(entry[2]) + " " + std::to_string(entry[1]) + " " +
            std::to_string(entry[0]) + "\r\n";
  }
  return text;
}

int32_t ParseDecimal(const std::string& text) {
  TDecimalReader reader;
  for (size_t i = 0; i < text.size() && !reader.Stopped(); ++i)
    reader.Feed(static_cast<uint8_t>(text[i]));
  return reader.Value();
}

std::string PaletteDisplayName(const std::string& fileName) {
  size_t dot = fileName.find('.');
  std::string name = dot == std::string::npos ? std::string() : fileName.substr(0, dot);
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}
