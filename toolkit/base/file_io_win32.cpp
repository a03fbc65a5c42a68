#include <windows.h>

#include "toolkit/base/file_io.h"

namespace {

HANDLE ToHandle(TFileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

TFileHandle FromHandle(HANDLE handle) {
  return reinterpret_cast<TFileHandle>(handle);
}

}  // namespace

TFileHandle OpenFileForReading(const char* name) {
  return FromHandle(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

TFileHandle OpenFileForWriting(const char* name) {
  return FromHandle(
      CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TFileHandle CreateNewFile(const char* name) {
  // CREATE_NEW fails on any existing name, a link included; the flag keeps a
  // link from being followed should one appear in between.
  return FromHandle(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool KeepPermissionsOf(const char*, TFileHandle) {
  return true;
}

uint32_t SetFilePosition(TFileHandle file, int32_t offset, uint8_t origin) {
  return SetFilePointer(ToHandle(file), offset, nullptr, origin);
}

uint32_t GetFileSizeOf(TFileHandle file) {
  return GetFileSize(ToHandle(file), nullptr);
}

uint32_t ReadFromFile(TFileHandle file, void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!ReadFile(ToHandle(file), buffer, count, &done, nullptr)) return 0;
  return done;
}

uint32_t WriteToFile(TFileHandle file, const void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!WriteFile(ToHandle(file), buffer, count, &done, nullptr)) return 0;
  return done;
}

bool SetEndOfFileHere(TFileHandle file) {
  return SetEndOfFile(ToHandle(file)) != 0;
}

bool CloseFile(TFileHandle file) {
  return file != kInvalidFileHandle && CloseHandle(ToHandle(file)) != 0;
}

bool MoveOverFile(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

void RemoveFile(const char* path) {
  DeleteFileA(path);
}

bool IsSameFile(TFileHandle a, TFileHandle b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  return GetFileInformationByHandle(ToHandle(a), &first) &&
         GetFileInformationByHandle(ToHandle(b), &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}
