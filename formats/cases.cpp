#include "formats/cases.h"

#include <algorithm>

std::string PadLeft(const std::string& text, char fill, size_t width) {
  if (text.size() >= width) return text;
  return std::string(width - text.size(), fill) + text;
}

size_t LastPosOfChar(const std::string& text, char character) {
  size_t index = text.rfind(character);
  return index == std::string::npos ? 0 : index + 1;
}

size_t LastPosOfAny(const std::string& delimiters, const std::string& text) {
  size_t last = 0;
  for (char delimiter : delimiters)
    last = std::max(last, LastPosOfChar(text, delimiter));
  return last;
}

std::string FolderPartOf(const std::string& path) {
  return path.substr(0, LastPosOfAny("\\:", path));
}
