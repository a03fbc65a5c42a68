#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/run_process.h"
#include "support/test_files.h"

namespace {

// A temporary file that the child writes and the test reads back.
struct TCaptureFile {
  std::string Name;
  int Fd;
  TCaptureFile() {
    char name[] = "/tmp/skarnel-capture-XXXXXX";
    Fd = ::mkstemp(name);
    Name = name;
  }
  ~TCaptureFile() {
    ::close(Fd);
    ::unlink(Name.c_str());
  }
  std::string Text() const {
    TBytes bytes = ReadFileBytes(Name);
    return std::string(bytes.begin(), bytes.end());
  }
};

}  // namespace

TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder) {
  TCaptureFile out, err;
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  pid_t child = ::fork();
  if (child == 0) {
    int input = ::open("/dev/null", O_RDONLY);
    if (::chdir(folder.c_str()) != 0 || input < 0) ::_exit(127);
    ::dup2(input, 0);
    ::dup2(out.Fd, 1);
    ::dup2(err.Fd, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  TProcessResult result;
  if (child < 0) return result;
  int status = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  result.Out = out.Text();
  result.Err = err.Text();
  return result;
}
