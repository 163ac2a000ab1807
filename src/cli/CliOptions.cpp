#include "cli/CliOptions.h"

#include <array>

namespace quillary::cli {

namespace {

struct NamedKind {
  SourceKind kind;
  std::string_view name;
};

constexpr std::array<NamedKind, 8> kKindNames = {{{SourceKind::InternetExplorer, "ie"},
                                                  {SourceKind::Firefox2, "firefox2"},
                                                  {SourceKind::Firefox3, "firefox3"},
                                                  {SourceKind::Opera, "opera"},
                                                  {SourceKind::Safari, "safari"},
                                                  {SourceKind::Netscape, "netscape"},
                                                  {SourceKind::SeaMonkey, "seamonkey"},
                                                  {SourceKind::BackupFile, "backup"}}};

} // namespace

const char* const kUsage =
    "Usage: quillary-cli [--store FILE] [--settings FILE] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  list [--json]                       the collection as an indented tree, or as JSON\n"
    "  import KIND[=PATH] ...              an import run over the listed sources, then save\n"
    "  export KIND[=PATH] ... [--merge]    an export run into the listed targets\n"
    "  convert KIND=IN KIND=OUT            read IN with one exchanger, write OUT with another;\n"
    "                                      the collection is not touched\n"
    "  find TEXT [--target all|name|url] [--whole-word] [--match-case] [--json]\n"
    "  detect                              run browser detection, print the locations found\n"
    "\n"
    "KIND: ie firefox2 firefox3 opera safari netscape seamonkey backup\n"
    "A PATH replaces the location from the settings file for that run; for backup it is the\n"
    "backup file. --store uses FILE instead of the store file in the data folder.\n"
    "Exit status: 0 success, 1 failure, 2 wrong usage.\n";

std::string_view KindName(SourceKind kind) {
  for (const auto& [known, name] : kKindNames)
    if (known == kind)
      return name;
  return "?";
}

Source ParseSource(const std::string& argument) {
  const size_t equals = argument.find('=');
  const std::string name = argument.substr(0, equals);
  for (const auto& [kind, known] : kKindNames) {
    if (known == name) {
      Source source{kind, std::nullopt};
      if (equals != std::string::npos)
        source.path = argument.substr(equals + 1);
      return source;
    }
  }
  throw UsageError("unknown kind \"" + name + "\"");
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  auto value = [&](int& i, const std::string& flag) -> std::string {
    if (i + 1 >= argc)
      throw UsageError(flag + " needs a value");
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help" || argument == "-h")
      options.help = true;
    else if (argument == "--version")
      options.version = true;
    else if (argument == "--store")
      options.store = value(i, argument);
    else if (argument == "--settings")
      options.settings = value(i, argument);
    else if (argument == "--json")
      options.json = true;
    else if (argument == "--merge")
      options.merge = true;
    else if (argument == "--whole-word")
      options.wholeWord = true;
    else if (argument == "--match-case")
      options.matchCase = true;
    else if (argument == "--target")
      options.target = value(i, argument);
    else if (argument == "--")
      for (++i; i < argc; ++i)
        options.arguments.push_back(argv[i]);
    else if (argument.size() > 1 && argument[0] == '-')
      throw UsageError("unknown option " + argument);
    else if (options.command.empty())
      options.command = argument;
    else
      options.arguments.push_back(argument);
  }
  return options;
}

} // namespace quillary::cli
