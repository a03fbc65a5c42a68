// The filter list and name buffers of the file dialog.
#include "toolkit/widgets/file_dialog_text.h"

#include <algorithm>

std::string FilterList(const std::string& filterText) {
  if (filterText.empty()) return filterText;
  std::string list = filterText + '\0';
  // A leading "|" is a name's first character, not a separator.
  std::replace(list.begin() + 1, list.end(), '|', '\0');
  return list;
}

std::vector<char> NameBuffer(const std::string& name, size_t size) {
  std::vector<char> buffer(size, '\0');
  if (size == 0) return buffer;
  size_t length = std::min(name.size(), size - 1);
  std::copy_n(name.begin(), length, buffer.begin());
  return buffer;
}

std::string BufferText(const std::vector<char>& buffer) {
  auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return std::string(buffer.begin(), end);
}

void JoinSelection(std::vector<char>& buffer) {
  if (buffer.empty() || buffer[0] == '\0') return;  // nothing chosen
  for (size_t i = 0; i + 1 < buffer.size(); ++i) {
    if (buffer[i] != '\0') continue;
    if (buffer[i + 1] == '\0') return;
    buffer[i] = '\r';
  }
}
