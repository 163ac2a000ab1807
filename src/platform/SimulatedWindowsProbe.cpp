#include "platform/SimulatedWindowsProbe.h"

namespace quillary::platform {

std::optional<std::vector<FolderEntry>>
SimulatedWindowsProbe::ListFolder(const std::string& pattern) const {
  // Only the "every entry" pattern is simulated; the folder is what precedes it.
  constexpr std::string_view everything = "*.*";
  if (!pattern.ends_with(everything))
    return std::nullopt;
  auto found = folders.find(pattern.substr(0, pattern.size() - everything.size()));
  if (found == folders.end())
    return std::nullopt;
  return found->second;
}

} // namespace quillary::platform
