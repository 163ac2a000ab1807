#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// File access shared by every part that reads or rewrites a file. Failures raise FileError.
namespace quillary::platform {

std::string ReadWholeFile(const std::string& path);

// The bytes of a regular file (or of one a link names) of at most maxBytes. Anything else, a
// folder, a pipe or a device, is refused without waiting on it, and so is a longer file.
std::string ReadRegularFile(const std::string& path, std::size_t maxBytes);

// Writes the bytes to a temporary file in the same folder and renames it over the path, so a
// failure midway leaves the previous file whole. A symbolic link is followed, not replaced.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The two above for a file the user named: a failure raises CannotOpenFile or CannotCreateFile.
std::string ReadFileChecked(const std::string& path);
void WriteFileChecked(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path); // a directory (or a link to one)
bool PathExists(const std::string& path);      // anything at all
// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::string& path);
// Creates every missing folder along the path; true when it exists afterwards.
bool CreateFolders(const std::string& path);

// The system's text for the last error number.
std::string LastErrorText();

} // namespace quillary::platform
