// quillary-cli: the core of Quillary without a window, for scripts, servers and tests.
#include "base/Version.h"
#include "cli/Commands.h"

#include <exception>
#include <iostream>
#include <string>

namespace {

// Errors are one line on standard error.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r')
      c = ' ';
  return text;
}

} // namespace

int main(int argc, char** argv) {
  using namespace quillary::cli;
  try {
    Options options = ParseOptions(argc, argv);
    if (options.help) {
      std::cout << kUsage;
      return 0;
    }
    if (options.version) {
      std::cout << "quillary-cli " << quillary::kVersion << " (Build " << quillary::kBuild << ")\n";
      return 0;
    }
    RunCommand(options, std::cout);
    return 0;
  } catch (const UsageError& error) {
    std::cerr << "quillary-cli: " << OneLine(error.what()) << "\n"
              << "Try 'quillary-cli --help'.\n";
    return 2;
  } catch (const std::exception& error) {
    std::cerr << OneLine(error.what()) << '\n';
    return 1;
  }
}
