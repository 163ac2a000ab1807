#include "support/TestSupport.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillary::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillary-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data()))
    throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Undo read-only permissions a test may have set, so that everything can be removed.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
    if (!it->is_symlink(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

PipeWithWriter::PipeWithWriter(std::string path, std::string text) : path_(std::move(path)) {
  if (::mkfifo(path_.c_str(), 0644) != 0)
    throw std::runtime_error("cannot create a named pipe");
  writer_ = std::thread([path = path_, text = std::move(text)] {
    // A reader that leaves early must give this thread EPIPE, not end the whole test.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    const int fd = ::open(path.c_str(), O_WRONLY); // waits for a reader
    if (fd < 0)
      return;
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
  });
}

PipeWithWriter::~PipeWithWriter() {
  // Opening the reading end releases a writer still waiting; what it writes fits the pipe.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
  writer_.join();
  if (fd >= 0)
    ::close(fd);
  ::unlink(path_.c_str());
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) {
    had_ = true;
    old_ = old;
  }
  ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_)
    ::setenv(name_.c_str(), old_.c_str(), 1);
  else
    ::unsetenv(name_.c_str());
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out)
    throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void MakeDirs(const std::string& path) {
  std::filesystem::create_directories(path);
}

std::string DataPath(std::string_view name) {
  return std::string(QUILLARY_TEST_DATA) + "/" + std::string(name);
}

std::string SamplePath(std::string_view relative) {
  std::string path = std::string(QUILLARY_SAMPLES) + "/" + std::string(relative);
  return std::filesystem::exists(path) ? path : std::string();
}

} // namespace quillary::test
