#pragma once

#include <sys/resource.h>

#include <cstdint>

// While it lives, no file that this process or a program it starts writes
// grows past `bytes`: a write beyond fails as on a full disk, instead of
// raising the signal that would end the writer.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(uint64_t bytes);
  ~TFileSizeLimit();
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};
