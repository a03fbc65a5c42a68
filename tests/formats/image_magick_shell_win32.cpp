#include <windows.h>

#include <chrono>
#include <thread>

#include "support/run_process.h"
#include "formats/image_magick_shell.h"
#include "support/test_files.h"

namespace {

// The Linux path of a Windows one, from Wine's own kernel32; empty outside
// Wine.
std::string UnixPath(const std::string& path) {
  using TUnixName = char*(CDECL*)(const WCHAR*);
  FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  if (!found) return "";
  auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void (*)()>(found));
  WCHAR wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
  char* name = unixName(wide);
  if (!name) return "";
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

}  // namespace

// Wine starts a Linux program from CreateProcess, but gives it neither the
// working folder nor the standard handles, and answers no wait for it. So
// the shell changes folder itself, and says it has ended by renaming its
// status file into place, which is polled for.
bool RunShellIn(const std::string& folder, const std::string& command) {
  std::string unixFolder = UnixPath(folder);
  if (unixFolder.empty()) return false;
  std::string status = folder + "\\status.txt";
  DeleteFileA(status.c_str());
  RunProcess("Z:/bin/sh",
             {"-c", "cd '" + unixFolder + "' && { " + command +
                        "; }; echo $? > status.tmp; mv status.tmp status.txt"},
             folder);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (GetFileAttributesA(status.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  TBytes text = ReadFileBytes(status);
  return !text.empty() && text[0] == '0';
}
