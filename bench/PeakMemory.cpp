#include "PeakMemory.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace quillary::bench {

std::size_t PeakMemoryOf(const std::function<void()>& work) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0)
    return 0;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    // A forked child starts with the parent's resident set as its high-water mark, so the
    // growth of the mark is what the work itself needed at its peak.
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    work();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    long peak = after.ru_maxrss - before.ru_maxrss; // kilobytes
    if (::write(pipeFds[1], &peak, sizeof peak) != static_cast<ssize_t>(sizeof peak))
      ::_exit(1);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  long peak = 0;
  if (::read(pipeFds[0], &peak, sizeof peak) != static_cast<ssize_t>(sizeof peak))
    peak = 0;
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return static_cast<std::size_t>(peak) * 1024;
}

std::size_t FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0;
}

} // namespace quillary::bench
