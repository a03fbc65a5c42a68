#include "support/file_size_limit_posix.h"

#include <csignal>

TFileSizeLimit::TFileSizeLimit(uint64_t bytes) {
  // Ignored, not handled: an ignored signal stays ignored in a started program.
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  ::getrlimit(RLIMIT_FSIZE, &previous_);
  rlimit limit = previous_;
  limit.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &previous_);
  std::signal(SIGXFSZ, previousHandler_);
}
