#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A program started in a working folder, for driving it from outside as a
// user would; it is ended if it still runs when the object goes.
class TProgramRun {
 public:
  TProgramRun(const std::string& program, const std::string& folder);
  ~TProgramRun();
  TProgramRun(const TProgramRun&) = delete;
  TProgramRun& operator=(const TProgramRun&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  HANDLE Process() const { return process_.hProcess; }
  // The process's visible top-level windows.
  std::vector<HWND> VisibleWindows() const;
  // Waits up to `timeoutMs` for a visible top-level window of the class;
  // 0 when none came.
  HWND WaitForWindow(const char* className, DWORD timeoutMs) const;
  // The exit code, or -1 when the process still runs after `timeoutMs`.
  int WaitForExit(DWORD timeoutMs);

 private:
  PROCESS_INFORMATION process_ = {};
};

std::string WindowClass(HWND window);
std::string WindowText(HWND window);
