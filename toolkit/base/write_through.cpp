#include "toolkit/base/write_through.h"

#include <cinttypes>
#include <cstdio>
#include <mutex>
#include <random>

#include "toolkit/base/file_io.h"
#include "toolkit/base/scoped_object.h"

namespace {

// Random names make a clash unlikely; a clash only costs another attempt.
constexpr int kNameAttempts = 16;

// One generator, seeded once from the system: asking the system for every
// name costs more than writing a small file. Shared under a lock rather
// than one per thread, since the browser's build has no thread storage.
uint64_t RandomBits() {
  static std::mutex mutex;
  static std::mt19937_64 engine = [] {
    std::random_device random;
    std::seed_seq seed{random(), random(), random(), random()};
    return std::mt19937_64(seed);
  }();
  std::lock_guard lock(mutex);
  return engine();
}

std::string TemporaryName(const std::string& path) {
  uint64_t bits = RandomBits();
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%012" PRIx64 ".partial", bits & 0xFFFFFFFFFFFFu);
  return path + suffix;
}

// A new, empty file beside `path` and its name, or kInvalidFileHandle.
TFileHandle CreateTemporaryBeside(const std::string& path, std::string& name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    name = TemporaryName(path);
    TFileHandle file = CreateNewFile(name.c_str());
    if (file != kInvalidFileHandle) return file;
  }
  return kInvalidFileHandle;
}

bool WriteInto(TFileHandle file, const std::string& path,
               const std::function<bool(TByteStream* file)>& write) {
  TScopedObject<TByteStream> stream(MakeHandleWriter(file));
  return KeepPermissionsOf(path.c_str(), file) && write(stream);
}

}  // namespace

bool WriteThroughTemporary(const std::string& path,
                           const std::function<bool(TByteStream* file)>& write) {
  std::string temporary;
  TFileHandle file = CreateTemporaryBeside(path, temporary);
  if (file == kInvalidFileHandle) return false;
  bool written;
  try {
    written = WriteInto(file, path, write);
  } catch (...) {
    CloseFile(file);
    RemoveFile(temporary.c_str());
    throw;
  }
  // A write error may show only when the file is closed.
  written = CloseFile(file) && written;
  written = written && MoveOverFile(temporary.c_str(), path.c_str());
  if (!written) RemoveFile(temporary.c_str());
  return written;
}
