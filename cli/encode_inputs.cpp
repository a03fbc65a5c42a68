#include "cli/encode_inputs.h"

#include <algorithm>
#include <cctype>

#include "cli/cli_platform.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsImageName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  for (char& c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".bmp" || extension == ".png";
}

// Compares the digit runs starting at a[i] and b[j], moving past them:
// negative, zero or positive as a's value is below, equal to or above b's.
int CompareNumbers(const std::string& a, size_t& i, const std::string& b, size_t& j) {
  while (i < a.size() && a[i] == '0')
    ++i;
  while (j < b.size() && b[j] == '0')
    ++j;
  size_t startA = i, startB = j;
  while (i < a.size() && IsDigit(a[i]))
    ++i;
  while (j < b.size() && IsDigit(b[j]))
    ++j;
  if (i - startA != j - startB) return i - startA < j - startB ? -1 : 1;
  return a.compare(startA, i - startA, b, startB, j - startB);
}

std::string Joined(const std::string& folder, const std::string& name) {
  char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : folder + kPathSeparator + name;
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      int order = CompareNumbers(a, i, b, j);
      if (order != 0) return order < 0;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  if (i < a.size() || j < b.size()) return i == a.size();  // a prefix comes first
  return a < b;  // "a01" and "a1" are equal in value; keep a fixed order
}

std::vector<std::string> ExpandImageArguments(const std::vector<std::string>& args,
                                              std::vector<std::string>& emptyFolders) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (!IsFolderPath(arg)) {
      files.push_back(arg);
      continue;
    }
    std::vector<std::string> names = FilesInFolder(arg);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return !IsImageName(name); }),
                names.end());
    std::sort(names.begin(), names.end(), NaturalLess);
    if (names.empty()) emptyFolders.push_back(arg);
    for (const std::string& name : names)
      files.push_back(Joined(arg, name));
  }
  return files;
}
