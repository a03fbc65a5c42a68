#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "run_process.h"
#include "support/palette_text.h"
#include "support/shp_writer.h"
#include "support/test_files.h"

// Runs the built converter in a fresh folder of its own.
class TConverterFolder {
 public:
  TProcessResult Run(const std::vector<std::string>& args, const std::string& sub = "") const {
    std::filesystem::path folder = sub.empty() ? dir_.Path() : dir_.Path() / sub;
    return RunProcess(SHP2BMP_PATH, args, folder.string());
  }
  TProcessResult RunShpTool(const std::vector<std::string>& args) const {
    return RunProcess(SHPTOOL_PATH, args, dir_.Path().string());
  }
  std::string File(const std::string& name) const { return dir_.File(name); }
  void Put(const std::string& name, const TBytes& bytes) const {
    WriteFileBytes(File(name), bytes);
  }
  void PutText(const std::string& name, const std::string& text) const {
    Put(name, TBytes(text.begin(), text.end()));
  }
  void MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(dir_.Path() / name);
  }
  // The names in a folder, sorted; empty when it does not exist.
  std::vector<std::string> FilesIn(const std::string& folder = "") const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path() / folder, error))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  TTempDir dir_;
};

// The lines of a program's output, without line ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}
