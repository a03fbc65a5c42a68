#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/base/win32_handles.h"

// A program started in a working folder, for driving it from outside as a
// user would; it is ended if it still runs when the object goes. (A program
// run to its end with its output collected: RunProcess, run_process.h.)
class TProgramRun {
 public:
  TProgramRun(const std::string& program, const std::string& folder);
  ~TProgramRun();
  TProgramRun(const TProgramRun&) = delete;
  TProgramRun& operator=(const TProgramRun&) = delete;

  bool Started() const { return static_cast<bool>(process_); }
  HANDLE Process() const { return process_.Get(); }
  // The process's visible top-level windows.
  std::vector<HWND> VisibleWindows() const;
  // Waits up to `timeoutMs` for a visible top-level window of the class;
  // 0 when none came.
  HWND WaitForWindow(const char* className, DWORD timeoutMs) const;
  // The exit code, or -1 when the process still runs after `timeoutMs`.
  int WaitForExit(DWORD timeoutMs);

 private:
  TKernelHandle process_;
  DWORD processId_ = 0;
};
