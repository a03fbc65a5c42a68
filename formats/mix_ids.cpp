#include "formats/mix_ids.h"

#include <zlib.h>

#include <cstdio>

#include "toolkit/base/le_bytes.h"

namespace {

std::string UpperCase(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

uint32_t TdId(const std::string& name) {
  std::string bytes = UpperCase(name);
  bytes.resize((bytes.size() + 3) / 4 * 4, '\0');
  uint32_t id = 0;
  for (size_t i = 0; i < bytes.size(); i += 4) {
    uint32_t word = ReadLe32(reinterpret_cast<const uint8_t*>(bytes.data() + i));
    id = ((id << 1) | (id >> 31)) + word;
  }
  return id;
}

uint32_t TsId(const std::string& name) {
  std::string bytes = UpperCase(name);
  size_t length = bytes.size();
  if (length % 4 != 0) {
    char repeated = bytes[length / 4 * 4];
    bytes.push_back(static_cast<char>(length % 4));
    bytes.append(3 - length % 4, repeated);
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
  return static_cast<uint32_t>(crc);
}

uint32_t MixId(TMixIdKind kind, const std::string& name) {
  return kind == TMixIdKind::Td ? TdId(name) : TsId(name);
}

std::string MixIdText(uint32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(id));
  return text;
}

std::optional<uint32_t> ParseMixId(const std::string& text) {
  if (text.size() != 8) return std::nullopt;
  uint32_t id = 0;
  for (char c : text) {
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    id = id << 4 | digit;
  }
  return id;
}
