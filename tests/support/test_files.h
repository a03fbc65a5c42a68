#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The full name of a file in the folder, as the 8-bit path the code takes.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// A fresh temporary folder made the working directory while the object
// lives; the previous working directory comes back after.
class TWorkingFolder {
 public:
  TWorkingFolder();
  ~TWorkingFolder();
  TWorkingFolder(const TWorkingFolder&) = delete;
  TWorkingFolder& operator=(const TWorkingFolder&) = delete;

  bool Entered() const { return entered_; }
  const TTempDir& Dir() const { return dir_; }

 private:
  TTempDir dir_;
  std::filesystem::path previous_;
  bool entered_ = false;
};

void WriteFileBytes(const std::string& fileName, const TBytes& bytes);
TBytes ReadFileBytes(const std::string& fileName);

// Little-endian writers for building test inputs.
void PutLe16(TBytes& out, uint16_t value);
void PutLe32(TBytes& out, uint32_t value);
