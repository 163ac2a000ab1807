#include "platform/Files.h"

#include "base/Error.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillary::platform {

namespace {

class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

private:
  int fd_;
};

// The file a write should really replace: the target of a symbolic link, else the path itself.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
      return resolved;
  }
  return path;
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      throw FileError(path, LastErrorText());
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

// Reads what the descriptor holds, at most limit bytes; more raises FileError.
std::string ReadAll(int fd, const std::string& path, std::size_t sizeHint, std::size_t limit) {
  std::string bytes;
  if (sizeHint > 0)
    bytes.reserve(std::min(sizeHint, limit));
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR)
        continue;
      throw FileError(path, LastErrorText());
    }
    if (got == 0)
      break;
    if (static_cast<std::size_t>(got) > limit - bytes.size())
      throw FileError(path, "The file is larger than " + std::to_string(limit) + " bytes.");
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

} // namespace

std::string LastErrorText() {
  return std::strerror(errno);
}

std::string ReadWholeFile(const std::string& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0)
    throw FileError(path, LastErrorText());
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0)
    throw FileError(path, LastErrorText());
  if (S_ISDIR(info.st_mode))
    throw FileError(path, std::strerror(EISDIR));
  return ReadAll(fd.get(), path, static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)),
                 std::string().max_size());
}

std::string ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  const std::string notRegular = "It is not a regular file.";
  // Looked at before opening: opening a pipe would wait for its writer.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    throw FileError(path, LastErrorText());
  if (!S_ISREG(info.st_mode))
    throw FileError(path, notRegular);
  // Without blocking, in case the file was swapped for a pipe since.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0)
    throw FileError(path, LastErrorText());
  if (::fstat(fd.get(), &info) != 0)
    throw FileError(path, LastErrorText());
  if (!S_ISREG(info.st_mode))
    throw FileError(path, notRegular);
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
    throw FileError(path, "The file is larger than " + std::to_string(maxBytes) + " bytes.");
  return ReadAll(fd.get(), path, static_cast<std::size_t>(info.st_size), maxBytes);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveTarget(path);
  // A short name of its own in the same folder: the target's name may already be as long as a
  // file name can be.
  const size_t slash = target.find_last_of('/');
  std::string temporary =
      (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) +
      ".quillary-XXXXXX";
  Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0)
    throw FileError(path, LastErrorText());
  try {
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat info {};
    mode_t mode = 0644;
    if (::stat(target.c_str(), &info) == 0)
      mode = info.st_mode & 07777;
    ::fchmod(fd.get(), mode);
    WriteAll(fd.get(), bytes, path);
    if (::fsync(fd.get()) != 0)
      throw FileError(path, LastErrorText());
    if (::close(fd.release()) != 0)
      throw FileError(path, LastErrorText());
    if (::rename(temporary.c_str(), target.c_str()) != 0)
      throw FileError(path, LastErrorText());
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
}

std::string ReadFileChecked(const std::string& path) {
  try {
    return ReadWholeFile(path);
  } catch (const FileError& error) {
    throw CannotOpenFile(path, error.Reason());
  }
}

void WriteFileChecked(const std::string& path, std::string_view bytes) {
  try {
    WriteFileAtomically(path, bytes);
  } catch (const FileError& error) {
    throw CannotCreateFile(path, error.Reason());
  }
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool CreateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0)
    return true;
  return DirectoryExists(path);
}

bool CreateFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    CreateFolder(path.substr(0, slash));
  return CreateFolder(path);
}

} // namespace quillary::platform
