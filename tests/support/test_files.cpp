#include "support/test_files.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> g_counter{0};

}  // namespace

TTempDir::TTempDir() {
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto name = "skarnel-test-" + std::to_string(stamp) + "-" + std::to_string(g_counter++);
    path_ = fs::temp_directory_path() / name;
    if (fs::create_directory(path_)) return;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string TTempDir::File(const std::string& name) const {
  return (path_ / name).string();
}

TWorkingFolder::TWorkingFolder() : previous_(fs::current_path()) {
  std::error_code error;
  fs::current_path(dir_.Path(), error);
  entered_ = !error;
}

TWorkingFolder::~TWorkingFolder() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}

void WriteFileBytes(const std::string& fileName, const TBytes& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

TBytes ReadFileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return {};
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutLe16(TBytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(TBytes& out, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
