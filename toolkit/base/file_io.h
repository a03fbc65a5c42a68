#pragma once

#include <cstdint>

// The operating system's file calls, one small layer per platform
// (file_io_win32.cpp, file_io_posix.cpp). Both give the same answers:
// 32-bit positions and counts, all bits set for a failed seek or size.

using TFileHandle = intptr_t;

constexpr TFileHandle kInvalidFileHandle = -1;           // INVALID_HANDLE_VALUE
constexpr uint32_t kInvalidSetFilePointer = 0xFFFFFFFF;  // INVALID_SET_FILE_POINTER
constexpr uint32_t kInvalidFileSize = 0xFFFFFFFF;        // INVALID_FILE_SIZE

// Seek origins.
constexpr uint8_t kFromStart = 0;
constexpr uint8_t kFromCurrent = 1;
constexpr uint8_t kFromEnd = 2;

// Opens an existing file for reading; others may read it too.
TFileHandle OpenFileForReading(const char* name);
// Opens or creates a file for writing, without emptying it and without sharing.
TFileHandle OpenFileForWriting(const char* name);
// Creates a file for writing only where nothing of that name exists: an
// existing file or link fails, so a link planted under the name is never
// followed. Not shared. Its mode is what a plain create gives (on POSIX 0666
// less the umask).
TFileHandle CreateNewFile(const char* name);
// Gives `file` the permission bits of the file `target`, when that is a file
// already; a missing target or a link keeps the mode the create gave. POSIX
// only: on Windows a new file takes its folder's rights, and this does nothing.
bool KeepPermissionsOf(const char* target, TFileHandle file);
// The new position, or kInvalidSetFilePointer.
uint32_t SetFilePosition(TFileHandle file, int32_t offset, uint8_t origin);
uint32_t GetFileSizeOf(TFileHandle file);
// Bytes read or written; 0 on failure.
uint32_t ReadFromFile(TFileHandle file, void* buffer, uint32_t count);
uint32_t WriteToFile(TFileHandle file, const void* buffer, uint32_t count);
// Cuts the file at the current position.
bool SetEndOfFileHere(TFileHandle file);
// False when the system reports an error, which for some file systems is
// where a failed write shows.
bool CloseFile(TFileHandle file);
// True when both are open on one file on disk: not only one name, which may
// have been given to another file in between.
bool IsSameFile(TFileHandle a, TFileHandle b);
// Renames `from` to `to`, replacing a file already there.
bool MoveOverFile(const char* from, const char* to);
void RemoveFile(const char* name);
