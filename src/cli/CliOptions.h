#pragma once

#include "base/SourceKind.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillary::cli {

// Wrong usage: reported with exit status 2.
class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A KIND or KIND=PATH argument.
struct Source {
  SourceKind kind;
  std::optional<std::string> path;
};

struct Options {
  std::string store;    // --store FILE
  std::string settings; // --settings FILE
  std::string command;
  std::vector<std::string> arguments; // the command's own, flags removed
  bool json = false;
  bool merge = false;
  bool wholeWord = false;
  bool matchCase = false;
  std::string target = "all";
  bool help = false;
  bool version = false;
};

Options ParseOptions(int argc, char** argv);
Source ParseSource(const std::string& argument);
std::string_view KindName(SourceKind kind);

extern const char* const kUsage;

} // namespace quillary::cli
