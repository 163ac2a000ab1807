#pragma once

#include <string>

// The user's home and XDG base folders on this system, as the environment gives them.
namespace quillary::platform {

// $HOME, else the password database's home folder, else "/tmp".
std::string HomeFolder();

// The XDG variable when it holds an absolute path, else the given folder below home.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome);

} // namespace quillary::platform
