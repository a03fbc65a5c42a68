// The one way tests start a program under Windows: TProgramRun for a program
// driven while it runs, RunProcess for one run to its end.
#include <windows.h>

#include <algorithm>

#include "support/run_process.h"
#include "support/test_files.h"
#include "win32/program_run.h"
#include "win32/window_search.h"

namespace {

// One argument as the C runtime splits a command line back into argv.
std::string Quoted(const std::string& arg) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

// Starts the program with its arguments in `folder`; the standard handles
// of `startup`, when it names them, are inherited. Both handles are owned by
// the caller; `processId` gets the new process's id.
TKernelHandle Launch(const std::string& program, const std::vector<std::string>& args,
                     const std::string& folder, STARTUPINFOA& startup, DWORD* processId) {
  std::string commandLine = Quoted(program);
  for (const std::string& arg : args)
    commandLine += " " + Quoted(arg);
  startup.cb = sizeof(startup);
  BOOL inherit = (startup.dwFlags & STARTF_USESTDHANDLES) != 0;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, inherit, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return TKernelHandle();
  }
  CloseHandle(process.hThread);
  if (processId) *processId = process.dwProcessId;
  return TKernelHandle(process.hProcess);
}

// A temporary file the child inherits as an output handle.
struct TCaptureFile {
  std::string Name;
  TKernelHandle File;
  explicit TCaptureFile(const char* prefix) : Name(TemporaryName(prefix)), File(Create(Name)) {}
  ~TCaptureFile() {
    File.Reset();
    DeleteFileA(Name.c_str());
  }
  std::string Text() const {
    TBytes bytes = ReadFileBytes(Name);
    return std::string(bytes.begin(), bytes.end());
  }

 private:
  static std::string TemporaryName(const char* prefix) {
    char folder[MAX_PATH];
    char name[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, name);
    return name;
  }
  static HANDLE Create(const std::string& name) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
};

}  // namespace

TProgramRun::TProgramRun(const std::string& program, const std::string& folder) {
  STARTUPINFOA startup = {};
  process_ = Launch(program, {}, folder, startup, &processId_);
}

TProgramRun::~TProgramRun() {
  if (!Started()) return;
  if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 5000);
  }
}

std::vector<HWND> TProgramRun::VisibleWindows() const {
  std::vector<HWND> windows = ProcessWindows(processId_);
  std::erase_if(windows, [](HWND window) { return !IsWindowVisible(window); });
  return windows;
}

HWND TProgramRun::WaitForWindow(const char* className, DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = FirstWindow(VisibleWindows(),
                            [&](HWND window) { return ClassOf(window) == className; });
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

int TProgramRun::WaitForExit(DWORD timeoutMs) {
  if (!Started() || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  return static_cast<int>(code);
}

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder) {
  TCaptureFile out("out");
  TCaptureFile err("err");
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  TKernelHandle input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  OPEN_EXISTING, 0, nullptr));
  STARTUPINFOA startup = {};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.Get();
  startup.hStdOutput = out.File.Get();
  startup.hStdError = err.File.Get();
  TProcessResult result;
  TKernelHandle process = Launch(program, args, folder, startup, nullptr);
  if (!process) return result;
  if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), INFINITE);
    return result;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  result.ExitCode = static_cast<int>(code);
  result.Out = out.Text();
  result.Err = err.Text();
  return result;
}
