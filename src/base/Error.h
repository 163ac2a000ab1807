#pragma once

#include <stdexcept>
#include <string>

namespace quillary {

// Every failure in Quillary is an exception of this kind carrying the text the user sees.
class Error : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A file-system failure; keeps the path and the system's reason apart so that callers can word
// their own message around them.
class FileError : public Error {
public:
  FileError(std::string path, std::string reason)
      : Error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}
  const std::string& Path() const { return path_; }
  const std::string& Reason() const { return reason_; }

private:
  std::string path_;
  std::string reason_;
};

// The messages for a file that cannot be read or written, with the system's reason; every
// exchanger and the store files word them so.
inline Error CannotOpenFile(const std::string& path, const std::string& reason) {
  return Error("Cannot open file \"" + path + "\". " + reason);
}
inline Error CannotCreateFile(const std::string& path, const std::string& reason) {
  return Error("Cannot create file \"" + path + "\". " + reason);
}

} // namespace quillary
