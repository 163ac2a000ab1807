#include "base/SourceKind.h"

namespace quillary {

std::string_view SettingsKeyOf(SourceKind kind) {
  static constexpr std::string_view keys[] = {"ie",     "firefox2", "firefox3", "opera",
                                              "safari", "netscape", "seamonkey"};
  return IsBrowserKind(kind) ? keys[IndexOf(kind)] : std::string_view{};
}

} // namespace quillary
