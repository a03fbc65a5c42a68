#include <windows.h>

#include "run_process.h"
#include "support/test_files.h"

namespace {

// Owns a kernel handle.
class THandle {
 public:
  explicit THandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~THandle() { Close(); }
  void Close() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A temporary file the child inherits as an output handle.
struct TCaptureFile {
  std::string Name;
  THandle File;
  explicit TCaptureFile(const char* prefix) : Name(TemporaryName(prefix)), File(Create(Name)) {}
  ~TCaptureFile() {
    File.Close();
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

}  // namespace

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder) {
  TCaptureFile out("out");
  TCaptureFile err("err");
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  THandle input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr));
  std::string commandLine = Quoted(program);
  for (const std::string& arg : args)
    commandLine += " " + Quoted(arg);

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.Get();
  startup.hStdOutput = out.File.Get();
  startup.hStdError = err.File.Get();
  PROCESS_INFORMATION process = {};
  TProcessResult result;
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return result;
  }
  THandle processHandle(process.hProcess);
  THandle threadHandle(process.hThread);
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    return result;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.ExitCode = static_cast<int>(code);
  result.Out = out.Text();
  result.Err = err.Text();
  return result;
}
