// peak_rss PROGRAM ARGS...: runs the program with its output thrown away and
// prints its exit status and peak resident memory in KiB. A process started
// straight from a large one (a benchmark) is charged that one's memory
// until it runs a program; started from this small one, it is not.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage = {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 2;
  std::printf("%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss);
  return 0;
}
