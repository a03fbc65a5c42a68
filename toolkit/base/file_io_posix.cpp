#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "toolkit/base/file_io.h"

namespace {

TFileHandle OpenRegularFile(const char* name, int flags) {
  int fd;
  do {
    fd = ::open(name, flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return kInvalidFileHandle;
  // A folder is no file to read or write, as on Windows.
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return kInvalidFileHandle;
  }
  return fd;
}

int ToFd(TFileHandle file) {
  return static_cast<int>(file);
}

}  // namespace

TFileHandle OpenFileForReading(const char* name) {
  return OpenRegularFile(name, O_RDONLY);
}

TFileHandle OpenFileForWriting(const char* name) {
  return OpenRegularFile(name, O_WRONLY | O_CREAT);
}

TFileHandle CreateNewFile(const char* name) {
  int fd;
  do {
    fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? kInvalidFileHandle : fd;
}

bool KeepPermissionsOf(const char* target, TFileHandle file) {
  struct stat info;
  if (::lstat(target, &info) != 0 || !S_ISREG(info.st_mode)) return true;
  return ::fchmod(ToFd(file), info.st_mode & 0777) == 0;
}

uint32_t SetFilePosition(TFileHandle file, int32_t offset, uint8_t origin) {
  if (file == kInvalidFileHandle || origin > kFromEnd) return kInvalidSetFilePointer;
  int fd = ToFd(file);
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  // From the start, a 32-bit signed offset cannot pass 32 bits; asking where
  // the file stands moves nothing: neither needs a position to go back to.
  if (origin == kFromStart || (origin == kFromCurrent && offset == 0)) {
    off_t at = ::lseek(fd, offset, kWhence[origin]);
    return at < 0 || at >= static_cast<off_t>(kInvalidSetFilePointer) ? kInvalidSetFilePointer
                                                                      : static_cast<uint32_t>(at);
  }
  off_t before = ::lseek(fd, 0, SEEK_CUR);
  if (before < 0) return kInvalidSetFilePointer;
  off_t after = ::lseek(fd, offset, kWhence[origin]);
  if (after < 0) return kInvalidSetFilePointer;  // negative target: the position stays
  // Without a high part, a position beyond 32 bits is a failure.
  if (after >= static_cast<off_t>(kInvalidSetFilePointer)) {
    ::lseek(fd, before, SEEK_SET);
    return kInvalidSetFilePointer;
  }
  return static_cast<uint32_t>(after);
}

uint32_t GetFileSizeOf(TFileHandle file) {
  struct stat info;
  if (file == kInvalidFileHandle || ::fstat(ToFd(file), &info) != 0) return kInvalidFileSize;
  if (info.st_size >= static_cast<off_t>(kInvalidFileSize)) return kInvalidFileSize;
  return static_cast<uint32_t>(info.st_size);
}

uint32_t ReadFromFile(TFileHandle file, void* buffer, uint32_t count) {
  if (file == kInvalidFileHandle) return 0;
  uint32_t done = 0;
  while (done < count) {
    ssize_t got = ::read(ToFd(file), static_cast<char*>(buffer) + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return 0;  // a failed ReadFile reports nothing read
    if (got == 0) break;
    done += static_cast<uint32_t>(got);
  }
  return done;
}

uint32_t WriteToFile(TFileHandle file, const void* buffer, uint32_t count) {
  if (file == kInvalidFileHandle) return 0;
  uint32_t done = 0;
  while (done < count) {
    ssize_t put = ::write(ToFd(file), static_cast<const char*>(buffer) + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return 0;  // a failed WriteFile reports nothing written
    done += static_cast<uint32_t>(put);
  }
  return done;
}

bool SetEndOfFileHere(TFileHandle file) {
  if (file == kInvalidFileHandle) return false;
  off_t here = ::lseek(ToFd(file), 0, SEEK_CUR);
  return here >= 0 && ::ftruncate(ToFd(file), here) == 0;
}

bool CloseFile(TFileHandle file) {
  // Not retried on EINTR: Linux has released the descriptor by then.
  return file != kInvalidFileHandle && ::close(ToFd(file)) == 0;
}

bool MoveOverFile(const char* from, const char* to) {
  return std::rename(from, to) == 0;
}

void RemoveFile(const char* path) {
  ::unlink(path);
}

bool IsSameFile(TFileHandle a, TFileHandle b) {
  struct stat first, second;
  return ::fstat(ToFd(a), &first) == 0 && ::fstat(ToFd(b), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
